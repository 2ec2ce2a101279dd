#include "TTableReport.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <utility>

#include "Exceptions.h"
#include "QtText.h"
#include "TReportLayout.h"

namespace {

// PDF text is vector graphics; this only sets the grid the layout rounds to.
constexpr int kPdfResolution = 300;

Exception CannotWrite(const QString& file, const QString& reason) {
  return Exception("不能保存文件“%s”：%s", {QtText::FromQ(file), QtText::FromQ(reason)});
}

}  // namespace

TTableReport::TTableReport(QString title, std::vector<TReportColumn> columns, QDate date)
    : title_(std::move(title)), columns_(std::move(columns)), date_(date) {}

TTableReport::~TTableReport() = default;
TTableReport::TTableReport(TTableReport&& other) noexcept = default;
TTableReport& TTableReport::operator=(TTableReport&& other) noexcept = default;

void TTableReport::AddGroup(const QString& text) {
  rows_.push_back({RowKind::Group, {text}});
  layout_.reset();
}

void TTableReport::AddRow(QStringList cells) {
  rows_.push_back({RowKind::Data, std::move(cells)});
  layout_.reset();
}

void TTableReport::AddNote(const QString& text) {
  rows_.push_back({RowKind::Note, {text}});
  layout_.reset();
}

void TTableReport::SetUpPage(QPagedPaintDevice& device) {
  device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
}

const TReportLayout& TTableReport::LayoutFor(const QPagedPaintDevice& device) const {
  if (!layout_ || !layout_->Fits(device)) layout_ = std::make_unique<TReportLayout>(*this, device);
  return *layout_;
}

int TTableReport::PageCount(const QPagedPaintDevice& device) const {
  return LayoutFor(device).PageCount();
}

void TTableReport::Render(QPagedPaintDevice& device, int fromPage, int toPage) const {
  const TReportLayout& layout = LayoutFor(device);  // measured before painting starts
  const int first = std::max(fromPage, 1);
  const int last = toPage > 0 ? std::min(toPage, layout.PageCount()) : layout.PageCount();
  QPainter painter;
  if (!painter.begin(&device)) throw Exception("打印没有开始：打印机或输出文件不能使用。");
  for (int page = first; page <= last; ++page) {
    if (page > first) device.newPage();
    layout.PaintPage(painter, *this, page - 1);
  }
  painter.end();
}

void TTableReport::WritePdf(const QString& file) const {
  // Written beside the target and moved over it when complete, so a failed
  // write never leaves a cut-off file (or destroys an older one).
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) throw CannotWrite(file, out.errorString());
  {
    QPdfWriter writer(&out);
    writer.setTitle(title_);
    writer.setCreator(QStringLiteral("Tesmira"));
    writer.setResolution(kPdfResolution);
    SetUpPage(writer);
    Render(writer);
  }
  if (!out.commit()) throw CannotWrite(file, out.errorString());
}
