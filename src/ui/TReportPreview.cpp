#include "TReportPreview.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "HandlerConnect.h"
#include "TPromptService.h"
#include "TQtChineseText.h"
#include "TTableReport.h"
#include "WidgetLook.h"

using WidgetLook::NamedButton;

TReportPreview::TReportPreview(const TTableReport& report, QWidget* parent)
    : QDialog(parent), report_(report), printer_(std::make_unique<QPrinter>()) {
  setObjectName(QStringLiteral("ReportPreview"));
  setWindowTitle(QStringLiteral("打印预览 - %1").arg(report.Title()));
  TTableReport::SetUpPage(*printer_);
  printer_->setDocName(report.Title());
  Preview = new QPrintPreviewWidget(printer_.get(), this);
  Preview->setObjectName(QStringLiteral("Preview"));
  // The layout is kept by the report, so a repaint (zoom, resize) does not
  // measure the rows again.
  ConnectHandler(Preview, &QPrintPreviewWidget::paintRequested, this,
                 [this](QPrinter* printer) { report_.Render(*printer); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildButtons());
  layout->addWidget(Preview, 1);
  connect(Preview, &QPrintPreviewWidget::previewChanged, this,
          [this] { lblPages->setText(QStringLiteral("共 %1 页").arg(Preview->pageCount())); });
  resize(820, 760);
}

TReportPreview::~TReportPreview() {
  // The preview widget refers to the printer, which as a member would go
  // before the dialog's child widgets do.
  delete Preview;
}

QWidget* TReportPreview::BuildButtons() {
  auto* bar = new QWidget(this);
  btnZoomIn = NamedButton(bar, QStringLiteral("btnZoomIn"), QStringLiteral("放大(&+)"));
  btnZoomOut = NamedButton(bar, QStringLiteral("btnZoomOut"), QStringLiteral("缩小(&-)"));
  lblPages = new QLabel(bar);
  lblPages->setObjectName(QStringLiteral("lblPages"));
  btnPrint = NamedButton(bar, QStringLiteral("btnPrint"), QStringLiteral("打印(&P)..."));
  btnSavePdf = NamedButton(bar, QStringLiteral("btnSavePdf"), QStringLiteral("保存为 PDF(&S)..."));
  btnClose = NamedButton(bar, QStringLiteral("btnClose"), QStringLiteral("关闭(&C)"));
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  for (QWidget* widget : {static_cast<QWidget*>(btnZoomIn), static_cast<QWidget*>(btnZoomOut),
                          static_cast<QWidget*>(lblPages)})
    row->addWidget(widget);
  row->addStretch(1);
  for (QPushButton* button : {btnPrint, btnSavePdf, btnClose}) row->addWidget(button);
  connect(btnZoomIn, &QPushButton::clicked, Preview, [this] { Preview->zoomIn(); });
  connect(btnZoomOut, &QPushButton::clicked, Preview, [this] { Preview->zoomOut(); });
  ConnectHandler(btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });
  ConnectHandler(btnSavePdf, &QPushButton::clicked, this, [this] { btnSavePdfClick(); });
  connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
  return bar;
}

void TReportPreview::Run(const TTableReport& report, QWidget* parent) {
  TReportPreview preview(report, parent);
  TPromptService::ExecDialog(&preview);
}

void TReportPreview::btnPrintClick() {
  const TQtChineseText chinese;  // before the dialog, which is worded as it is built
  QPrintDialog dialog(printer_.get(), this);
  dialog.setMinMax(1, report_.PageCount(*printer_));
  if (!TPromptService::ExecDialog(&dialog)) return;
  const bool range = printer_->printRange() == QPrinter::PageRange;
  report_.Render(*printer_, range ? printer_->fromPage() : 0, range ? printer_->toPage() : 0);
  accept();
}

void TReportPreview::btnSavePdfClick() {
  // The documents folder, where the desktop has one; else the home folder
  // (the dialog would otherwise start in the program's working folder).
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  const TQtChineseText chinese;  // before the dialog, which is worded as it is built
  QFileDialog dialog(this, QStringLiteral("保存为 PDF"),
                     QDir(folder).filePath(report_.Title() + QStringLiteral(".pdf")),
                     QStringLiteral("PDF 文件 (*.pdf)"));
  dialog.setObjectName(QStringLiteral("SavePdfDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  if (!TPromptService::ExecDialog(&dialog) || dialog.selectedFiles().isEmpty()) return;
  const QString file = dialog.selectedFiles().constFirst();
  report_.WritePdf(file);
  TPromptService::Information(
      this, QStringLiteral("提示"),
      QStringLiteral("已保存为 PDF 文件：%1").arg(QDir::toNativeSeparators(file)));
}
