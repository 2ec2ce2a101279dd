#include "THistoryDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "DomainObjects.h"
#include "EntryWrites.h"
#include "Exceptions.h"
#include "HandlerConnect.h"
#include "QtText.h"
#include "TCatalogueHistory.h"
#include "TCatalogueObject.h"
#include "TPromptService.h"
#include "WidgetLook.h"

THistoryDialog::THistoryDialog(QWidget* parent, std::string tableName, std::string code,
                               TWriteContext context)
    : QDialog(parent),
      tableName_(std::move(tableName)),
      code_(std::move(code)),
      context_(std::move(context)) {
  setObjectName(QStringLiteral("THistoryDialog"));
  setWindowTitle(QStringLiteral("历史"));
  tsgHistory = new QTableWidget(0, 6, this);
  tsgHistory->setObjectName(QStringLiteral("tsgHistory"));
  tsgHistory->setHorizontalHeaderLabels({QStringLiteral("时间"), QStringLiteral("操作员"),
                                         QStringLiteral("动作"), QStringLiteral("字段"),
                                         QStringLiteral("原值"), QStringLiteral("新值")});
  tsgHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tsgHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
  tsgHistory->horizontalHeader()->setStretchLastSection(true);
  btnUndo = WidgetLook::NamedButton(this, QStringLiteral("btnUndo"), QStringLiteral("撤销(&U)"));
  btnClose = WidgetLook::NamedButton(this, QStringLiteral("btnClose"), QStringLiteral("关闭(&C)"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnUndo);
  buttons->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tsgHistory);
  layout->addLayout(buttons);
  resize(720, 420);
  ConnectHandler(btnUndo, &QPushButton::clicked, this, [this] { btnUndoClick(); });
  connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
  Reload();
}

void THistoryDialog::Reload() {
  const std::vector<THistoryRow> rows =
      TCatalogueHistory(DomainObjects::SharedPool()).RowsOf(tableName_, code_);
  tsgHistory->setRowCount(static_cast<int>(rows.size()));
  changeOfRow_.clear();
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const THistoryRow& row = rows[r];
    const std::string cells[] = {row.ChangedAt, row.OperatorName, row.Action,
                                 row.FieldName, row.OldValue,     row.NewValue};
    for (int c = 0; c < 6; ++c)
      tsgHistory->setItem(r, c, new QTableWidgetItem(QtText::ToQ(cells[c])));
    changeOfRow_.push_back(row.ChangeID);
  }
  btnUndo->setEnabled(!rows.empty());
}

// The whole change of the selected line is undone (all its columns): a
// change is one save, so it is put back as one.
void THistoryDialog::btnUndoClick() {
  const int row = tsgHistory->currentRow();
  if (row < 0 || row >= static_cast<int>(changeOfRow_.size())) {
    TPromptService::Information(this, QStringLiteral("提示"),
                                QStringLiteral("请先选择要撤销的修改。"));
    return;
  }
  if (!TPromptService::Confirm(this, QStringLiteral("确认"),
                               QStringLiteral("您确定要撤销这次修改吗？")))
    return;
  try {
    TCatalogueHistory(DomainObjects::SharedPool()).Undo(changeOfRow_[row], context_);
  } catch (const EWriteRefused& refusal) {
    EntryWrites::ShowRefusal(this, refusal);
  }
  Reload();
}

void THistoryDialog::ShowFor(QWidget* window, TCatalogueObject* entry) {
  if (!entry || entry->EntryCode().empty() || entry->EntryCode() == "0") {
    TPromptService::Information(window, QStringLiteral("提示"),
                                QStringLiteral("请先选择一个已保存的条目。"));
    return;
  }
  THistoryDialog dialog(window, entry->GetTableName(), entry->EntryCode(),
                        EntryWrites::ContextOf(window));
  TPromptService::ExecDialog(&dialog);
}
