#include "TfrmCatalogueHistory.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "CatalogueHistory.h"
#include "DomainObjects.h"
#include "EntryWrites.h"
#include "Exceptions.h"
#include "QtText.h"
#include "TPermissionAction.h"
#include "TPromptService.h"
#include "TReportPreview.h"
#include "TTableReport.h"
#include "WidgetLook.h"

namespace {

// The grid's columns, which are also the report's.
const QString kHeadings[] = {QStringLiteral("时间"), QStringLiteral("操作员"),
                             QStringLiteral("来源"), QStringLiteral("种类"),
                             QStringLiteral("编码"), QStringLiteral("名称"),
                             QStringLiteral("动作"), QStringLiteral("字段"),
                             QStringLiteral("原值"), QStringLiteral("新值")};
constexpr int kColumns = 10;
constexpr int kDefaultDays = 30;
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

QStringList CellsOf(const THistoryRow& row) {
  QStringList cells;
  for (const std::string* text :
       {&row.ChangedAt, &row.OperatorName, &row.Source, &row.EntryKind, &row.EntryCode,
        &row.EntryName, &row.Action, &row.FieldName, &row.OldValue, &row.NewValue})
    cells << QtText::ToQ(*text);
  return cells;
}

QDateEdit* DateField(QWidget* parent, const QString& name, const QDate& date) {
  auto* field = new QDateEdit(date, parent);
  field->setObjectName(name);
  field->setDisplayFormat(kDateFormat);
  field->setCalendarPopup(true);
  return field;
}

}  // namespace

TfrmCatalogueHistory::TfrmCatalogueHistory(IWinMain* host) : TMDIChild(host) {
  setObjectName(QStringLiteral("frmCatalogueHistory"));
  setWindowTitle(QStringLiteral("目录变更历史"));
  BindOnDestroyToFormDestroy();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(BuildFilters());
  BuildGrid();
  layout->addWidget(tsgHistory, 1);
  layout->addWidget(BuildButtons());
  BuildPermissionActions();
  ConnectHandlers();
  follower_ = std::make_unique<TCatalogueFollower>(this, [this] {
    if (shown_) Show(shownFilter_, shownDescription_);
  });
}

TfrmCatalogueHistory::~TfrmCatalogueHistory() = default;

QSize TfrmCatalogueHistory::sizeHint() const {
  return {900, 520};
}

QWidget* TfrmCatalogueHistory::BuildFilters() {
  auto* box = new QWidget(this);
  box->setObjectName(QStringLiteral("pnlFilter"));
  const QDate today = QDate::currentDate();
  dtpFrom = DateField(box, QStringLiteral("dtpFrom"), today.addDays(-kDefaultDays));
  dtpTo = DateField(box, QStringLiteral("dtpTo"), today);
  cmbOperator =
      WidgetLook::NamedCombo(box, QStringLiteral("cmbOperator"), false, {QStringLiteral("全部")});
  cmbKind = WidgetLook::NamedCombo(
      box, QStringLiteral("cmbKind"), false,
      {QStringLiteral("全部"), QStringLiteral("类别"), QStringLiteral("项目"),
       QStringLiteral("组合项目"), QStringLiteral("套餐"), QStringLiteral("试管")});
  cmbKind->setCurrentIndex(0);
  for (QDateEdit* date : {dtpFrom, dtpTo}) date->setMinimumWidth(110);
  edtCodeOrName = WidgetLook::NamedEdit(box, QStringLiteral("edtCodeOrName"));
  WidgetLook::ChineseInput(edtCodeOrName);
  btnQuery = WidgetLook::NamedButton(box, QStringLiteral("btnQuery"), QStringLiteral("查询(&Q)"));
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  const std::pair<QString, QWidget*> fields[] = {{QStringLiteral("从"), dtpFrom},
                                                 {QStringLiteral("到"), dtpTo},
                                                 {QStringLiteral("操作员"), cmbOperator},
                                                 {QStringLiteral("种类"), cmbKind},
                                                 {QStringLiteral("编码或名称"), edtCodeOrName}};
  int column = 0;
  for (const auto& [caption, field] : fields) {
    auto* label = new QLabel(caption, box);
    label->setBuddy(field);
    grid->addWidget(label, 0, column++);
    grid->addWidget(field, 0, column++);
  }
  grid->addWidget(btnQuery, 0, column);
  grid->setColumnStretch(column - 1, 1);
  WidgetLook::ChainTabOrder({dtpFrom, dtpTo, cmbOperator, cmbKind, edtCodeOrName, btnQuery});
  return box;
}

void TfrmCatalogueHistory::BuildGrid() {
  tsgHistory = new QTableWidget(0, kColumns, this);
  tsgHistory->setObjectName(QStringLiteral("tsgHistory"));
  tsgHistory->setHorizontalHeaderLabels(QStringList(std::begin(kHeadings), std::end(kHeadings)));
  tsgHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tsgHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
  tsgHistory->setSelectionMode(QAbstractItemView::SingleSelection);
  tsgHistory->verticalHeader()->hide();
  tsgHistory->verticalHeader()->setDefaultSectionSize(23);
  tsgHistory->horizontalHeader()->setStretchLastSection(true);
  // Room for the values; the short columns narrow.
  const int widths[kColumns] = {130, 70, 110, 60, 70, 100, 45, 100, 100, 100};
  for (int c = 0; c < kColumns; ++c) tsgHistory->setColumnWidth(c, widths[c]);
}

QWidget* TfrmCatalogueHistory::BuildButtons() {
  auto* box = new QWidget(this);
  box->setObjectName(QStringLiteral("pnlButtons"));
  btnUndo = WidgetLook::NamedButton(box, QStringLiteral("btnUndo"), QStringLiteral("撤销(&U)"));
  btnPrint = WidgetLook::NamedButton(box, QStringLiteral("btnPrint"), QStringLiteral("打印(&P)"));
  btnExit = WidgetLook::NamedButton(box, QStringLiteral("btnExit"), QStringLiteral("退出(&X)"));
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->addStretch();
  for (QPushButton* button : {btnUndo, btnPrint, btnExit}) row->addWidget(button);
  return box;
}

// The window number 207 follows the exchange window's 206; the command
// numbers: 1 view and query, 2 print, 3 undo.
void TfrmCatalogueHistory::BuildPermissionActions() {
  const ActionMaker PermissionAction = PermissionActionsOf("变更历史", nullptr);
  pmHistoryQuery = PermissionAction(QStringLiteral("pmHistoryQuery"), QStringLiteral("查询(&Q)"),
                                    "TJXT207001", 0);
  pmHistoryPrint = PermissionAction(QStringLiteral("pmHistoryPrint"), QStringLiteral("打印(&P)"),
                                    "TJXT207002", 0);
  pmHistoryUndo = PermissionAction(QStringLiteral("pmHistoryUndo"), QStringLiteral("撤销(&U)"),
                                   "TJXT207003", 0);
}

void TfrmCatalogueHistory::ConnectHandlers() {
  AddCommand(btnQuery, pmHistoryQuery, [this] { btnQueryClick(); });
  AddCommand(btnUndo, pmHistoryUndo, [this] { btnUndoClick(); });
  AddCommand(btnPrint, pmHistoryPrint, [this] { btnPrintClick(); });
  AddCommand(btnExit, nullptr, [this] { btnExitClick(); });
  // Enter in the text field queries, as the button does (its right included).
  connect(edtCodeOrName, &QLineEdit::returnPressed, this, [this] {
    if (btnQuery->isEnabled()) btnQuery->click();
  });
}

void TfrmCatalogueHistory::FormCreate(QObject* sender) {
  TMDIChild::FormCreate(sender);
  // Without the query right the window opens empty: its lines are the
  // right's to show.
  ReadDataOrClose("读取目录变更历史失败，窗口不能打开。", [this] {
    FillOperators();
    if (HasRight("TJXT207001")) Show(Filter(), FilterText());
  });
}

THistoryFilter TfrmCatalogueHistory::Filter() const {
  THistoryFilter filter;
  filter.Since = QtText::FromQ(dtpFrom->date().toString(kDateFormat));
  filter.Until = QtText::FromQ(dtpTo->date().toString(kDateFormat));
  if (cmbOperator->currentIndex() > 0)
    filter.OperatorName = QtText::FromQ(cmbOperator->currentText());
  if (cmbKind->currentIndex() > 0) filter.EntryKind = QtText::FromQ(cmbKind->currentText());
  filter.CodeOrName = QtText::FromQ(edtCodeOrName->text().trimmed());
  return filter;
}

QString TfrmCatalogueHistory::FilterText() const {
  QString text =
      QStringLiteral("%1 至 %2，操作员：%3，种类：%4")
          .arg(dtpFrom->date().toString(kDateFormat), dtpTo->date().toString(kDateFormat),
               cmbOperator->currentText(), cmbKind->currentText());
  const QString part = edtCodeOrName->text().trimmed();
  if (!part.isEmpty()) text += QStringLiteral("，编码或名称含“%1”").arg(part);
  return text;
}

void TfrmCatalogueHistory::FillOperators() {
  const QString chosen = cmbOperator->currentText();
  cmbOperator->clear();
  cmbOperator->addItem(QStringLiteral("全部"));
  for (const std::string& name : TCatalogueHistory(DomainObjects::SharedPool()).Operators())
    cmbOperator->addItem(QtText::ToQ(name));
  // The same operator stays chosen; one who is gone gives way to 全部.
  const int index = cmbOperator->findText(chosen);
  cmbOperator->setCurrentIndex(index > 0 ? index : 0);
}

void TfrmCatalogueHistory::Show(const THistoryFilter& filter, const QString& description) {
  lines_ = TCatalogueHistory(DomainObjects::SharedPool()).Rows(filter);
  shownFilter_ = filter;
  shownDescription_ = description;
  shown_ = true;
  tsgHistory->setRowCount(0);
  tsgHistory->setRowCount(static_cast<int>(lines_.size()));
  for (int r = 0; r < static_cast<int>(lines_.size()); ++r) {
    const QStringList cells = CellsOf(lines_[r]);
    for (int c = 0; c < kColumns; ++c) tsgHistory->setItem(r, c, new QTableWidgetItem(cells[c]));
  }
  if (!lines_.empty()) tsgHistory->setCurrentCell(0, 0);
}

void TfrmCatalogueHistory::btnQueryClick() {
  if (dtpFrom->date() > dtpTo->date()) {
    TPromptService::Information(this, QStringLiteral("提示"),
                                QStringLiteral("开始日期不能晚于结束日期。"));
    dtpFrom->setFocus();
    return;
  }
  FillOperators();
  Show(Filter(), FilterText());
}

QString TfrmCatalogueHistory::UndoQuestion(int row) const {
  const THistoryRow& line = lines_[row];
  // Named by its action: undoing a delete makes the entry again, undoing
  // an insert deletes it.
  QString question = QStringLiteral("您确定要撤销这次%1吗？\n%2 %3 %1%4“%5”（编码 %6）")
                         .arg(QtText::ToQ(line.Action), QtText::ToQ(line.ChangedAt),
                              QtText::ToQ(line.OperatorName), QtText::ToQ(line.EntryKind),
                              QtText::ToQ(line.EntryName), QtText::ToQ(line.EntryCode));
  if (line.Action != CatalogueHistory::kUpdate) return question;
  // An update is undone with all its columns: name each of them.
  for (const THistoryRow& other : lines_)
    if (other.ChangeID == line.ChangeID)
      question += QStringLiteral("\n%1：%2 → %3")
                      .arg(QtText::ToQ(other.FieldName), QtText::ToQ(other.OldValue),
                           QtText::ToQ(other.NewValue));
  return question;
}

// The whole change of the selected line is undone: a change is one save,
// so it is put back as one.
void TfrmCatalogueHistory::btnUndoClick() {
  const int row = tsgHistory->currentRow();
  if (row < 0 || row >= static_cast<int>(lines_.size())) {
    TPromptService::Information(this, QStringLiteral("提示"),
                                QStringLiteral("请先选择要撤销的修改。"));
    return;
  }
  if (!TPromptService::Confirm(this, QStringLiteral("确认"), UndoQuestion(row))) return;
  try {
    TCatalogueHistory(DomainObjects::SharedPool())
        .Undo(lines_[row].ChangeID, EntryWrites::ContextOf(this));
  } catch (const EWriteRefused& refusal) {
    EntryWrites::ShowRefusal(this, refusal);
  }
  // Refused or done, the grid shows the history as it now is.
  FillOperators();
  Show(shownFilter_, shownDescription_);
}

void TfrmCatalogueHistory::btnPrintClick() {
  if (lines_.empty()) {
    TPromptService::Information(this, QStringLiteral("提示"),
                                QStringLiteral("没有符合条件的修改记录，没有可打印的内容。"));
    return;
  }
  // Not the windows' code table (a host's print-everything run would find
  // nothing to print here on a quiet day): the report of the lines shown.
  const TTableReport report = HistoryReport();
  TReportPreview::Run(report, this);
}

void TfrmCatalogueHistory::btnExitClick() {
  close();
}

TTableReport TfrmCatalogueHistory::HistoryReport() const {
  std::vector<TReportColumn> columns;
  for (const QString& heading : kHeadings) columns.push_back({heading});
  TTableReport report(QStringLiteral("%1（%2）").arg(windowTitle(), shownDescription_),
                      std::move(columns));
  for (const THistoryRow& line : lines_) report.AddRow(CellsOf(line));
  return report;
}
