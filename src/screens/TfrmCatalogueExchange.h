#pragma once

#include <QString>
#include <memory>

#include "TMDIChild.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class TPermissionAction;
struct TExchangeOptions;
struct TImportReport;

/// The catalogue exchange window ("目录导入导出"): exports the whole
/// catalogue to a CSV file, and imports one after a preview. The preview
/// really applies the file in a transaction that is rolled back; its rows
/// (line, outcome, kind, code, name, what changes or why a row is refused)
/// fill the grid, coloured by outcome, with filters and the summary counts.
/// Import asks with those counts, is refused while any row is refused, and
/// writes all rows or none; the other open windows follow on their own.
/// Export and import are guarded by their rights (TJXT206001, TJXT206002).
class TfrmCatalogueExchange : public TMDIChild {
  Q_OBJECT
 public:
  explicit TfrmCatalogueExchange(IWinMain* host);
  ~TfrmCatalogueExchange() override;

  QSize sizeHint() const override;

  void btnExportClick();
  void btnChooseClick();
  void btnPreviewClick();
  void btnImportClick();
  /// Shows the rows that pass both filters.
  void ApplyFilters();

  /// Previews `file` as 预览 does, without a chooser: hosts and the demo
  /// call it by name (QMetaObject::invokeMethod). False when no preview
  /// came (no right, an unreadable file); the reason has been shown.
  Q_INVOKABLE bool PreviewFile(const QString& file);

  /// The file chosen for import (empty before a choice).
  QString FileName() const { return fileName_; }
  /// The report the grid shows (null before a preview).
  const TImportReport* Report() const { return report_.get(); }

  QPushButton* btnExport;
  QPushButton* btnChoose;
  QLineEdit* edtFile;
  QComboBox* cbbEncoding;
  QPushButton* btnPreview;
  QPushButton* btnImport;
  QPushButton* btnExit;
  QComboBox* cbbOutcome;
  QLineEdit* edtFilter;
  QLabel* lblCounts;
  QTableWidget* grdRows;
  QProgressBar* prgWork;
  TPermissionAction* pmExport;
  TPermissionAction* pmImport;

 private:
  QWidget* BuildFileBar();
  QWidget* BuildFilterBar();
  void BuildGrid();
  void BuildPermissionActions();
  void ConnectHandlers();
  /// The options of an import or export by this window's user.
  TExchangeOptions Options(bool dryRun);
  /// Runs the file through the exchange (a preview or the import) with the
  /// progress bar fed and the window's controls held still; shows the report.
  /// Errors get `whatFailed` in front and "原因：" before their own text.
  bool Run(bool dryRun, const char* whatFailed);
  void ShowReport(std::unique_ptr<TImportReport> report);
  /// Holds the controls still while a run lets paint events through.
  void SetWorking(bool working);

  QString fileName_;
  std::unique_ptr<TImportReport> report_;
};
