#include "TfrmCheckSet.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <vector>

#include "CatalogueRules.h"
#include "CodeTableText.h"
#include "EntryWrites.h"
#include "FieldConvert.h"
#include "FieldEvents.h"
#include "Format.h"
#include "HandlerConnect.h"
#include "QtText.h"
#include "TBaseItem.h"
#include "TCheckSet.h"
#include "THistoryDialog.h"
#include "TImageList.h"
#include "TPermissionAction.h"
#include "TPromptService.h"
#include "TRadioGroup.h"
#include "TTableReport.h"
#include "TfamCheckSetItem.h"
#include "TfamCheckSetTree.h"
#include "TfamSelCombItem.h"
#include "WidgetLook.h"

TfrmCheckSet::TfrmCheckSet(IWinMain* host) : TMDIChild(host) {
  setObjectName(QStringLiteral("frmCheckSet"));
  setWindowTitle(QStringLiteral("套餐设置"));
  BuildLayout();
  BuildPermissionActions();
  ConnectHandlers();
  follower_ = std::make_unique<TCatalogueFollower>(
      this, [this] { famCheckSetTree->BuildTree(); },
      [this] {
        return std::vector<const TBaseItem*>{famCheckSetItem->CheckSet(),
                                             famSelCombItem->CheckSet()};
      });
  resize(756, 613);
}

void TfrmCheckSet::BuildLayout() {
  grpCheckSet = new QGroupBox(QStringLiteral("套餐"));
  grpCheckSet->setObjectName(QStringLiteral("grpCheckSet"));
  famCheckSetTree = new TfamCheckSetTree(grpCheckSet);
  // A page control without pages, kept out of sight: it has no function.
  PageControl1 = new QTabWidget(grpCheckSet);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  PageControl1->hide();
  (new QVBoxLayout(grpCheckSet))->addWidget(famCheckSetTree);

  PageControl2 = new QTabWidget;
  PageControl2->setObjectName(QStringLiteral("PageControl2"));
  TabSheet2 = new QWidget;
  TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
  famCheckSetItem = new TfamCheckSetItem(TabSheet2);
  (new QVBoxLayout(TabSheet2))->addWidget(famCheckSetItem);
  TabSheet1 = new QWidget;
  TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  famSelCombItem = new TfamSelCombItem(TabSheet1);
  (new QVBoxLayout(TabSheet1))->addWidget(famSelCombItem);
  PageControl2->addTab(TabSheet2, QStringLiteral("项目信息"));
  PageControl2->addTab(TabSheet1, QStringLiteral("检验项目"));

  Splitter1 = new QSplitter(Qt::Horizontal, this);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setHandleWidth(5);
  Splitter1->setChildrenCollapsible(false);
  Splitter1->addWidget(grpCheckSet);
  Splitter1->addWidget(PageControl2);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({195, 556});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(Splitter1);
}

void TfrmCheckSet::BuildPermissionActions() {
  const ActionMaker PermissionAction = PermissionActionsOf("套餐", famCheckSetTree->imgTree);
  pmCheckSetAdd = PermissionAction(QStringLiteral("pmCheckSetAdd"), QStringLiteral("增加(&A)"),
                                   CatalogueRules::kCheckSetAdd, 18);
  pmCheckSetDelete = PermissionAction(QStringLiteral("pmCheckSetDelete"),
                                      QStringLiteral("删除(&D)"), "TJXT204002", 13);
  pmCheckSetSave = PermissionAction(QStringLiteral("pmCheckSetSave"), QStringLiteral("保存(&S)"),
                                    "TJXT204004", 12);
  pmCheckSetCancel = PermissionAction(QStringLiteral("pmCheckSetCancel"),
                                      QStringLiteral("取消(&C)"), "TJXT204005", 16);
  pmCheckSetCorroborate = PermissionAction(QStringLiteral("pmCheckSetCorroborate"),
                                           QStringLiteral("确定(&S)"), "TJXT204006", 14);
  pmCheckSetPrintForm = PermissionAction(QStringLiteral("pmCheckSetPrintForm"),
                                         QStringLiteral("打印编码表(&P)"), "TJXT204007", 19);
  pmCheckSetHistory = PermissionAction(QStringLiteral("pmCheckSetHistory"),
                                       QStringLiteral("历史(&H)"), "TJXT204008", 19);
  pmCheckSetHistory->InvisibleIfNoRight = true;
}

void TfrmCheckSet::ConnectHandlers() {
  TfamCheckSetItem* f = famCheckSetItem;
  AddCommand(f->btnAdd, pmCheckSetAdd, [this] { TfamCheckSetItem1btnAddClick(); });
  AddCommand(f->btnSave, pmCheckSetSave, [this] { famCheckSetItembtnSaveClick(); });
  AddCommand(f->btnCancel, pmCheckSetCancel, [this] { famCheckSetItembtnCancelClick(); });
  AddCommand(f->btnDelete, pmCheckSetDelete, [this] { famCheckSetItembtnDeleteClick(); });
  AddCommand(f->btnPrintForm, pmCheckSetPrintForm, [this] { famCheckSetItembtnPrintFormClick(); });
  AddCommand(f->btnExit, nullptr, [this] { famCheckSetItembtnExitClick(); });
  // The editor's button row gets the history button before Exit.
  btnHistory =
      WidgetLook::NamedButton(f->GroupBox4, QStringLiteral("btnHistory"), QStringLiteral("历史&H"));
  static_cast<QBoxLayout*>(f->GroupBox4->layout())->insertWidget(5, btnHistory);
  AddCommand(btnHistory, pmCheckSetHistory,
             [this] { THistoryDialog::ShowFor(this, famCheckSetItem->CheckSet()); });
  AddCommand(famSelCombItem->btnOk, pmCheckSetCorroborate, [this] { famSelCombItembtnOkClick(); });
  AddCommand(famSelCombItem->btnExit, nullptr, [this] { famSelCombItembtnExitClick(); });
  ConnectTreeClick(famCheckSetTree->CheckSetTree, [this] { famCheckSetTreeCheckSetTreeClick(); });
  ConnectEnterOrder();
  // FormKeyPress: the window sees only keys no control of it took, so Enter
  // moves on only while no control has the focus.
  ConnectEvent(this, QEvent::KeyPress, [this](QEvent* event) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    QWidget* focused = QApplication::focusWidget();
    if (focused && focused != this && isAncestorOf(focused)) return false;
    focusNextChild();
    return true;
  });
}

// Enter moves through the fields in the order a user fills them in, ending
// on Save, where Enter saves. The radio groups pass Enter on in tab order.
void TfrmCheckSet::ConnectEnterOrder() {
  TfamCheckSetItem* f = famCheckSetItem;
  const std::vector<QWidget*> order = {
      f->edtCheckSetName, f->combSex,   f->edtSort,        f->edtPrice,  f->edtABForPY,
      f->edtABForWB,      f->edtCustom, f->combChargeType, f->edtRemark, f->btnSave};
  for (size_t i = 0; i + 1 < order.size(); ++i) {
    QWidget* next = order[i + 1];
    ConnectEnter(order[i], [next] { next->setFocus(Qt::TabFocusReason); });
  }
  // btnSaveKeyPress: Enter on Save runs its command, right check included.
  ConnectEnter(f->btnSave, [this] { RunCommand(famCheckSetItem->btnSave); });
  for (TRadioGroup* group : {f->radIsInUse, f->radIsHaveExamProcess})
    ConnectEnter(group, [] {
      // As Tab does: on to the next control after the group.
      QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
      if (QWidget* focused = QApplication::focusWidget()) QApplication::sendEvent(focused, &tab);
    });
}

void TfrmCheckSet::FormCreate(QObject* sender) {
  TMDIChild::FormCreate(sender);
  // Opens maximised: once it is shown (sizing and placing come first).
  QMetaObject::invokeMethod(
      this, [this] { Frame()->showMaximized(); }, Qt::QueuedConnection);
  ReadDataOrClose("读取收费类型和体检项目失败，套餐设置窗口不能使用。", [this] {
    famCheckSetItem->LoadLists();
    famSelCombItem->LoadCandidates();
  });
}

void TfrmCheckSet::FormShow(QObject* sender) {
  TMDIChild::FormShow(sender);
  famCheckSetTree->SetImageIndex = 2;
  famCheckSetTree->SetSelectedIndex = 3;
  if (!ReadDataOrClose("读取套餐失败，套餐设置窗口不能使用。",
                       [this] { famCheckSetTree->BuildTree(); }))
    return;
  famSelCombItem->OnConfirmed = [this] { famCheckSetItem->ShowMembers(); };
  famSelCombItem->OnExit = [this](QObject*) { close(); };
}

void TfrmCheckSet::ShowInBothFrames(TBaseItem* checkSet) {
  famCheckSetItem->ShowCheckSet(checkSet);  // a failed read changes neither frame
  famSelCombItem->ShowCheckSet(checkSet);
}

void TfrmCheckSet::StartNewCheckSet() {
  ShowInBothFrames(famCheckSetItem->NewCheckSet());
  famCheckSetItem->edtCheckSetName->setFocus(Qt::OtherFocusReason);
}

void TfrmCheckSet::TfamCheckSetItem1btnAddClick() {
  StartNewCheckSet();
}

void TfrmCheckSet::famCheckSetItembtnCancelClick() {
  StartNewCheckSet();
}

void TfrmCheckSet::famCheckSetItembtnSaveClick() {
  TBaseItem* checkSet = famCheckSetItem->CheckSet();
  if (!checkSet) {
    // Nothing added or pressed yet: what was typed belongs to no set.
    TPromptService::Information(
        this, QStringLiteral("提示"),
        QStringLiteral("没有正在编辑的套餐：请先按“增加”新建套餐，或在左边选择一个套餐。"));
    return;
  }
  const int result = famCheckSetItem->SaveCheckSet();
  if (result == 0) return;  // refused: the set stays in the editor
  if (result == EntryWrites::kChangedElsewhere) {
    famCheckSetTree->UpdateCheckSetNode(checkSet);
    ShowInBothFrames(checkSet);  // the row as it is now
    return;
  }
  if (result == EntryWrites::kDeletedElsewhere)
    famCheckSetTree->RemoveCheckSetNode(checkSet);
  else
    famCheckSetTree->UpdateCheckSetNode(checkSet);
  StartNewCheckSet();
}

void TfrmCheckSet::famCheckSetItembtnDeleteClick() {
  TBaseItem* checkSet = famCheckSetItem->CheckSet();
  if (!checkSet) return;  // nothing added or pressed yet
  // The set the editor shows; one never saved has no row to delete.
  if (!famCheckSetItem->IsNewCheckSet()) {
    // The question names the set, so nobody deletes one they did not mean.
    const int deleted =
        EntryWrites::Delete(this, *checkSet, QStringLiteral("您确定要删除该套餐吗？"),
                            checkSet->ItemCode, checkSet->ItemName);
    if (deleted == EntryWrites::kChangedElsewhere) {
      famCheckSetTree->UpdateCheckSetNode(checkSet);
      ShowInBothFrames(checkSet);  // the row as it is now
    }
    if (deleted != 1) return;
    famCheckSetTree->RemoveCheckSetNode(checkSet);
  }
  StartNewCheckSet();
}

void TfrmCheckSet::famCheckSetItembtnPrintFormClick() {
  PrintCodeTable();  // checks pmCheckSetPrintForm again, as a print by name does
}

TTableReport TfrmCheckSet::CodeTable() {
  TTableReport report(windowTitle(), {{QStringLiteral("项目编号")},
                                      {QStringLiteral("项目名称")},
                                      {QStringLiteral("单价"), Qt::AlignRight}});
  for (TBaseItem* checkSet : famCheckSetTree->CheckSets()) {
    report.AddGroup(QStringLiteral("%1  %2").arg(QtText::ToQ(checkSet->ItemCode),
                                                 QtText::ToQ(checkSet->ItemName)));
    checkSet->LoadItems();  // built once; a set never shown may not be yet
    for (const TBaseItem* member : checkSet->Items())
      report.AddRow({QtText::ToQ(member->ItemCode), QtText::ToQ(member->ItemName),
                     CodeTableText::Price(member->UnitPrice)});
    report.AddNote(QStringLiteral("套餐价格：%1").arg(CodeTableText::Price(checkSet->UnitPrice)));
  }
  return report;
}

void TfrmCheckSet::famCheckSetItembtnExitClick() {
  close();
}

void TfrmCheckSet::famCheckSetTreeCheckSetTreeClick() {
  if (TBaseItem* checkSet = famCheckSetTree->CurrentCheckSet()) ShowInBothFrames(checkSet);
}

void TfrmCheckSet::famSelCombItembtnOkClick() {
  if (!famSelCombItem->CheckSet()) return;  // nothing added or pressed yet
  famSelCombItem->btnOkClick();
  double price = 0.0;
  for (int row = 0; row < famCheckSetItem->lstSelCombItem->count(); ++row)
    if (TBaseItem* member = famCheckSetItem->MemberAt(row)) price += member->UnitPrice;
  famCheckSetItem->edtPrice->setText(FieldConvert::ShortestDecimal(price));
}

void TfrmCheckSet::famSelCombItembtnExitClick() {
  famSelCombItem->btnExitClick();
}
