#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;
class TTableReport;

/// The print preview of a table report: the pages as they will print, and
/// the buttons to print them ("打印(&P)...": the print dialog, then the
/// chosen printer) or to save them as a PDF file ("保存为 PDF(&S)...": the
/// file dialog, then the file). Every modal step, the preview itself
/// included, goes through TPromptService, so a test or an unattended run
/// answers it and nothing waits for a person.
class TReportPreview : public QDialog {
  Q_OBJECT
 public:
  /// A preview of `report`, which must outlive the dialog.
  TReportPreview(const TTableReport& report, QWidget* parent);
  ~TReportPreview() override;

  /// Shows the preview of `report` modally (TPromptService::ExecDialog).
  static void Run(const TTableReport& report, QWidget* parent);

  /// The print dialog; once it is accepted, the chosen pages are printed
  /// and the preview closes.
  void btnPrintClick();
  /// The file dialog ("PDF 文件 (*.pdf)"); once it is accepted, the report
  /// is written to the chosen file and the user is told where it went. A
  /// file that cannot be written raises the error naming it.
  void btnSavePdfClick();

  QPrintPreviewWidget* Preview;
  QLabel* lblPages;
  QPushButton* btnZoomIn;
  QPushButton* btnZoomOut;
  QPushButton* btnPrint;
  QPushButton* btnSavePdf;
  QPushButton* btnClose;

 private:
  QWidget* BuildButtons();

  const TTableReport& report_;
  std::unique_ptr<QPrinter> printer_;
};
