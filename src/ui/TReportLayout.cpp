#include "TReportLayout.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <numeric>

#include "TMDIChild.h"
#include "TTableReport.h"

namespace {

// Sizes in points: type, padding inside a cell, gaps around the table.
constexpr double kTitlePoints = 14.0;
constexpr double kBodyPoints = 9.0;
constexpr double kPadXPoints = 3.0;
constexpr double kPadYPoints = 2.0;
constexpr double kGapPoints = 6.0;
constexpr double kRulePoints = 0.5;
constexpr int kMaxFlaggedColumns = 32;  // cells per row tracked in a 32-bit mask

QFont ReportFont(double points, bool bold) {
  QFont font = MaintenanceWindowFont();  // the windows' CJK families
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QString ContinuedText(const QString& group) {
  return QStringLiteral("%1（续）").arg(group);
}

QString FooterText(int page, int pages) {
  return QStringLiteral("第 %1 页 / 共 %2 页").arg(page).arg(pages);
}

const QColor& RuleColour() {
  static const QColor colour(96, 96, 96);
  return colour;
}

}  // namespace

TReportLayout::TReportLayout(const TTableReport& report, const QPaintDevice& device)
    : page_(device.width(), device.height()),
      dpi_(device.logicalDpiY()),
      titleFont_(ReportFont(kTitlePoints, true)),
      bodyFont_(ReportFont(kBodyPoints, false)),
      boldFont_(ReportFont(kBodyPoints, true)),
      title_(titleFont_, &device),
      body_(bodyFont_, &device),
      bold_(boldFont_, &device),
      padX_(Points(kPadXPoints)),
      padY_(Points(kPadYPoints)) {
  // A title wider than the page (a report titled with its filter) is set
  // smaller until it fits, never below the body's size: drawn as it is, both
  // its ends would be cut off.
  const double advance = title_.horizontalAdvance(report.Title());
  if (advance > page_.width()) {
    titleFont_.setPointSizeF(std::max(kBodyPoints, kTitlePoints * 0.98 * page_.width() / advance));
    title_ = QFontMetricsF(titleFont_, &device);
  }
  // Title, then the date line, then the table; the footer line at the bottom.
  dateTop_ = title_.height() + Points(2);
  tableTop_ = dateTop_ + body_.height() + Points(kGapPoints);
  rowsBottom_ = page_.height() - body_.height() - Points(kGapPoints);
  MeasureColumns(report);
  MeasureRows(report);
  BreakPages(report);
}

bool TReportLayout::Fits(const QPaintDevice& device) const {
  return page_ == QSizeF(device.width(), device.height()) && dpi_ == device.logicalDpiY();
}

std::vector<double> TReportLayout::FitWidths(const std::vector<double>& natural, double available,
                                             double minimum) {
  std::vector<double> widths(natural.size());
  for (size_t i = 0; i < natural.size(); ++i) widths[i] = std::max(natural[i], minimum);
  const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
  if (widths.empty() || total <= 0) return widths;
  if (total <= available) {
    for (double& width : widths) width *= available / total;
    return widths;
  }
  // Narrow columns (within an even share of what is left) keep their width;
  // taking them out can make the share of the rest larger, so repeat.
  std::vector<bool> fixed(widths.size(), false);
  double left = available;
  for (bool changed = true; changed;) {
    changed = false;
    const auto open = std::count(fixed.begin(), fixed.end(), false);
    if (open == 0) break;
    const double share = left / static_cast<double>(open);
    for (size_t i = 0; i < widths.size(); ++i) {
      if (fixed[i] || widths[i] > share) continue;
      fixed[i] = true;
      left -= widths[i];
      changed = true;
    }
  }
  double wide = 0;
  for (size_t i = 0; i < widths.size(); ++i)
    if (!fixed[i]) wide += widths[i];
  for (size_t i = 0; i < widths.size(); ++i)
    if (!fixed[i]) widths[i] = std::max(minimum, left * widths[i] / wide);
  return widths;
}

void TReportLayout::MeasureColumns(const TTableReport& report) {
  const auto& columns = report.Columns();
  std::vector<double> natural(columns.size(), 0.0);
  for (size_t c = 0; c < columns.size(); ++c)
    natural[c] = bold_.horizontalAdvance(columns[c].Heading);
  for (const TTableReport::Row& row : report.Rows()) {
    if (row.Kind != TTableReport::RowKind::Data) continue;
    for (qsizetype c = 0; c < row.Cells.size() && c < qsizetype(columns.size()); ++c)
      natural[c] = std::max(natural[c], body_.horizontalAdvance(row.Cells[c]));
  }
  for (double& width : natural) width += 2 * padX_ + 1;
  const double minimum = 2 * padX_ + 1.2 * body_.height();  // about one character
  widths_ = FitWidths(natural, page_.width(), minimum);
  lefts_.resize(widths_.size());
  double left = 0;
  for (size_t c = 0; c < widths_.size(); ++c) {
    lefts_[c] = left;
    left += widths_[c];
  }
}

int TReportLayout::CellFlags(int column, uint32_t anywhere, Qt::Alignment align) const {
  const bool breakWords = column < kMaxFlaggedColumns && (anywhere >> column & 1u);
  return int(align) | Qt::AlignTop | (breakWords ? Qt::TextWrapAnywhere : Qt::TextWordWrap);
}

double TReportLayout::CellsHeight(const QStringList& cells, const QFontMetricsF& metrics,
                                  uint32_t* anywhere) const {
  double height = metrics.height();
  *anywhere = 0;
  for (qsizetype c = 0; c < cells.size() && c < qsizetype(widths_.size()); ++c) {
    const double inner = widths_[c] - 2 * padX_;
    // Most cells fit on one line; only the others are wrapped to measure.
    if (cells[c].isEmpty() || metrics.horizontalAdvance(cells[c]) <= inner) continue;
    const QRectF box(0, 0, inner, 1e9);
    QRectF used = metrics.boundingRect(box, Qt::TextWordWrap, cells[c]);
    if (used.width() > inner && c < kMaxFlaggedColumns) {
      *anywhere |= 1u << c;  // a word wider than the column: break inside it
      used = metrics.boundingRect(box, Qt::TextWrapAnywhere, cells[c]);
    }
    height = std::max(height, used.height());
  }
  return height + 2 * padY_;
}

double TReportLayout::SpanHeight(const QString& text, const QFontMetricsF& metrics) const {
  const QRectF box(0, 0, page_.width() - 2 * padX_, 1e9);
  return metrics.boundingRect(box, Qt::TextWrapAnywhere, text).height() + 2 * padY_;
}

void TReportLayout::MeasureRows(const TTableReport& report) {
  QStringList headings;
  for (const TReportColumn& column : report.Columns()) headings << column.Heading;
  headingHeight_ = CellsHeight(headings, bold_, &headingAnywhere_);
  rowsTop_ = tableTop_ + headingHeight_;
  const auto& rows = report.Rows();
  heights_.resize(rows.size());
  anywhere_.assign(rows.size(), 0);
  for (size_t i = 0; i < rows.size(); ++i) {
    const TTableReport::Row& row = rows[i];
    if (row.Kind == TTableReport::RowKind::Data)
      heights_[i] = CellsHeight(row.Cells, body_, &anywhere_[i]);
    else
      heights_[i] =
          SpanHeight(row.Cells.value(0), row.Kind == TTableReport::RowKind::Group ? bold_ : body_);
  }
}

void TReportLayout::BreakPages(const TTableReport& report) {
  using Kind = TTableReport::RowKind;
  const auto& rows = report.Rows();
  pages_.assign(1, {});
  double y = rowsTop_;
  int group = -1;  // the group line the rows below belong to
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i);
    // A group line never stands alone at the foot of a page.
    double needed = heights_[i];
    if (rows[i].Kind == Kind::Group && i + 1 < rows.size() && rows[i + 1].Kind != Kind::Group)
      needed += heights_[i + 1];
    if (!pages_.back().empty() && y + needed > rowsBottom_) {
      pages_.emplace_back();
      y = rowsTop_;
      if (group >= 0 && rows[i].Kind != Kind::Group) {
        const double height = SpanHeight(ContinuedText(rows[group].Cells.value(0)), bold_);
        pages_.back().push_back({group, true, y, height});
        y += height;
      }
    }
    pages_.back().push_back({row, false, y, heights_[i]});
    y += heights_[i];
    if (rows[i].Kind == Kind::Group) group = row;
    if (rows[i].Kind == Kind::Note) group = -1;  // the note closes its group
  }
}

void TReportLayout::PaintPage(QPainter& painter, const TTableReport& report, int index) const {
  using Kind = TTableReport::RowKind;
  painter.save();
  PaintHeader(painter, report);
  QStringList headings;
  for (const TReportColumn& column : report.Columns()) headings << column.Heading;
  PaintCells(painter, headings, tableTop_, headingHeight_, boldFont_, headingAnywhere_, true,
             report);
  for (const Placed& placed : pages_[static_cast<size_t>(index)]) {
    const TTableReport::Row& row = report.Rows()[static_cast<size_t>(placed.Row)];
    switch (row.Kind) {
      case Kind::Data:
        PaintCells(painter, row.Cells, placed.Top, placed.Height, bodyFont_,
                   anywhere_[static_cast<size_t>(placed.Row)], false, report);
        break;
      case Kind::Group: {
        const QString text = row.Cells.value(0);
        PaintSpan(painter, placed.Continued ? ContinuedText(text) : text, placed.Top, placed.Height,
                  boldFont_, Qt::AlignLeft, true);
        break;
      }
      case Kind::Note:
        PaintSpan(painter, row.Cells.value(0), placed.Top, placed.Height, bodyFont_, Qt::AlignRight,
                  false);
        break;
    }
  }
  PaintFooter(painter, index);  // last, so the page's text reads top to bottom
  painter.restore();
}

void TReportLayout::PaintHeader(QPainter& painter, const TTableReport& report) const {
  const double width = page_.width();
  painter.setPen(Qt::black);
  painter.setFont(titleFont_);
  painter.drawText(QRectF(0, 0, width, title_.height()), Qt::AlignHCenter | Qt::AlignTop,
                   report.Title());
  painter.setFont(bodyFont_);
  const QString date =
      QStringLiteral("打印日期：%1").arg(report.Date().toString(QStringLiteral("yyyy-MM-dd")));
  painter.drawText(QRectF(0, dateTop_, width, body_.height()), Qt::AlignRight | Qt::AlignTop, date);
}

void TReportLayout::PaintFooter(QPainter& painter, int index) const {
  painter.setPen(Qt::black);
  painter.setFont(bodyFont_);
  painter.drawText(QRectF(0, page_.height() - body_.height(), page_.width(), body_.height()),
                   Qt::AlignHCenter | Qt::AlignBottom, FooterText(index + 1, PageCount()));
}

void TReportLayout::PaintCells(QPainter& painter, const QStringList& cells, double top,
                               double height, const QFont& font, uint32_t anywhere, bool heading,
                               const TTableReport& report) const {
  painter.setFont(font);
  const auto& columns = report.Columns();
  for (size_t c = 0; c < widths_.size(); ++c) {
    const QRectF cell(lefts_[c], top, widths_[c], height);
    painter.setPen(QPen(RuleColour(), Points(kRulePoints)));
    painter.setBrush(heading ? QBrush(QColor(224, 224, 224)) : QBrush(Qt::NoBrush));
    painter.drawRect(cell);
    painter.setPen(Qt::black);
    const Qt::Alignment align = heading ? Qt::AlignHCenter : columns[c].Align;
    painter.drawText(cell.adjusted(padX_, padY_, -padX_, -padY_),
                     CellFlags(static_cast<int>(c), anywhere, align),
                     cells.value(static_cast<qsizetype>(c)));
  }
}

void TReportLayout::PaintSpan(QPainter& painter, const QString& text, double top, double height,
                              const QFont& font, Qt::Alignment align, bool shaded) const {
  const QRectF line(0, top, page_.width(), height);
  painter.setPen(QPen(RuleColour(), Points(kRulePoints)));
  painter.setBrush(shaded ? QBrush(QColor(240, 240, 240)) : QBrush(Qt::NoBrush));
  painter.drawRect(line);
  painter.setPen(Qt::black);
  painter.setFont(font);
  painter.drawText(line.adjusted(padX_, padY_, -padX_, -padY_),
                   int(align) | Qt::AlignTop | Qt::TextWrapAnywhere, text);
}
