#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "TCatalogueFollower.h"
#include "TCatalogueHistory.h"
#include "TMDIChild.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTableWidget;
class TPermissionAction;
class TTableReport;

/// The change-history window ("目录变更历史"): the catalogue's history
/// (TCatalogueHistory) narrowed by a date range, an operator, a kind and a
/// part of a code or name; one grid line per changed column. 撤销 undoes
/// the change of the selected line through the entry's own save or delete;
/// 打印 shows the lines as a report (print or PDF) with the filter as its
/// title line. Each command has its right: query TJXT207001, print
/// TJXT207002, undo TJXT207003.
class TfrmCatalogueHistory : public TMDIChild {
  Q_OBJECT
 public:
  explicit TfrmCatalogueHistory(IWinMain* host);
  ~TfrmCatalogueHistory() override;

  /// Reads the operators for their choice and, for a user with the query
  /// right, the last 30 days.
  void FormCreate(QObject* sender) override;
  QSize sizeHint() const override;

  void btnQueryClick();
  void btnUndoClick();
  void btnPrintClick();
  void btnExitClick();

  /// The filter the fields say (operator and kind "全部": any).
  THistoryFilter Filter() const;
  /// The lines shown, as the printed report: the filter they were read with
  /// as the title line, one row per line.
  TTableReport HistoryReport() const;
  /// The history lines the grid shows (row r of the grid is line r).
  const std::vector<THistoryRow>& Lines() const { return lines_; }

  QDateEdit* dtpFrom;
  QDateEdit* dtpTo;
  QComboBox* cmbOperator;
  QComboBox* cmbKind;
  QLineEdit* edtCodeOrName;
  QPushButton* btnQuery;
  QPushButton* btnUndo;
  QPushButton* btnPrint;
  QPushButton* btnExit;
  QTableWidget* tsgHistory;
  TPermissionAction* pmHistoryQuery;
  TPermissionAction* pmHistoryPrint;
  TPermissionAction* pmHistoryUndo;

 private:
  QWidget* BuildFilters();
  QWidget* BuildButtons();
  void BuildGrid();
  void BuildPermissionActions();
  void ConnectHandlers();
  /// The operators the history names, after "全部"; the choice stays.
  void FillOperators();
  /// Reads the lines of `filter` into the grid and keeps the filter as the
  /// one shown (reloads and the report use it).
  void Show(const THistoryFilter& filter, const QString& description);
  /// The filter of the fields in words, for the report's title line.
  QString FilterText() const;
  /// The question before undoing the change of line `row`.
  QString UndoQuestion(int row) const;

  std::vector<THistoryRow> lines_;
  THistoryFilter shownFilter_;
  QString shownDescription_;
  bool shown_ = false;  // lines were read at least once
  // Reads the lines again after another window's write.
  std::unique_ptr<TCatalogueFollower> follower_;
};
