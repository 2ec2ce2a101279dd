#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "TWriteRules.h"

class QPushButton;
class QTableWidget;
class TCatalogueObject;

/// The history of one catalogue entry (历史): one line per changed column,
/// newest change first (时间, 操作员, 动作, 字段, 原值, 新值), and the undo
/// of the change of the selected line through the entry's own save.
class THistoryDialog : public QDialog {
 public:
  THistoryDialog(QWidget* parent, std::string tableName, std::string code, TWriteContext context);

  /// The 历史 command of a window: the history of `entry` (the entry on
  /// screen), or a hint when there is no stored entry.
  static void ShowFor(QWidget* window, TCatalogueObject* entry);

  QTableWidget* tsgHistory = nullptr;
  QPushButton* btnUndo = nullptr;
  QPushButton* btnClose = nullptr;

 private:
  void Reload();
  void btnUndoClick();

  std::string tableName_;
  std::string code_;
  TWriteContext context_;
  std::vector<int64_t> changeOfRow_;
};
