#include "TfrmItemEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <unordered_map>
#include <vector>

#include "CatalogueEntries.h"
#include "CatalogueRules.h"
#include "CategoryTrees.h"
#include "CodeTableText.h"
#include "ColumnWidths.h"
#include "EntryWrites.h"
#include "FieldConvert.h"
#include "FieldEvents.h"
#include "HandlerConnect.h"
#include "LookupLists.h"
#include "QtText.h"
#include "TBaseItem.h"
#include "TCategory.h"
#include "THistoryDialog.h"
#include "TImageList.h"
#include "TItem.h"
#include "TItemManager.h"
#include "TPermissionAction.h"
#include "TPromptService.h"
#include "TTableReport.h"
#include "TfamCateToItemTree.h"
#include "TfamItem.h"
#include "TreeNodeData.h"
#include "WidgetLook.h"

namespace {

constexpr int32_t kExaminationItem = 0;  // ItemType of an examination item

// The reference range as the code table prints it: the limits when the item
// has any, else its normal result (text results have no limits).
QString ReferenceRange(const TBaseItem& item) {
  const QString lower = QtText::ToQ(item.LowerLimit).trimmed();
  const QString upper = QtText::ToQ(item.UpLimit).trimmed();
  if (!lower.isEmpty() && !upper.isEmpty()) return lower + QStringLiteral("～") + upper;
  if (!upper.isEmpty()) return QStringLiteral("≤") + upper;
  if (!lower.isEmpty()) return QStringLiteral("≥") + lower;
  return QtText::ToQ(item.NaturalResult);
}

QStringList ItemCells(const TBaseItem& item) {
  return {QtText::ToQ(item.ItemCode),
          QtText::ToQ(item.ItemName),
          QtText::ToQ(item.AbForPY),
          QtText::ToQ(item.ItemUnit),
          ReferenceRange(item),
          CodeTableText::Price(item.UnitPrice),
          CodeTableText::YesNo(item.IsInUse)};
}

}  // namespace

TfrmItemEdit::TfrmItemEdit(IWinMain* host) : TMDIChild(host) {
  setObjectName(QStringLiteral("frmItemEdit"));
  setWindowTitle(QStringLiteral("项目维护"));
  BuildLayout();
  BuildPermissionActions();
  ConnectHandlers();
  follower_ = std::make_unique<TCatalogueFollower>(
      this, [this] { RebuildTreeAtEditor(); },
      [this] { return std::vector<const TBaseItem*>{famItem->Item()}; });
  if (QMdiSubWindow* sub = SubWindow())
    sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowMinimizeButtonHint);
}

void TfrmItemEdit::BuildLayout() {
  famCateToItemTree = new TfamCateToItemTree;
  famCateToItemTree->setMinimumWidth(120);
  Panel1 = new QWidget;
  Panel1->setObjectName(QStringLiteral("Panel1"));
  famItem = new TfamItem(Panel1);
  auto* panelLayout = new QVBoxLayout(Panel1);
  panelLayout->setContentsMargins(0, 0, 0, 0);
  panelLayout->addWidget(famItem, 1);
  panelLayout->addWidget(BuildButtons());

  Splitter1 = new QSplitter(Qt::Horizontal, this);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setHandleWidth(4);
  Splitter1->setChildrenCollapsible(false);
  Splitter1->addWidget(famCateToItemTree);
  Splitter1->addWidget(Panel1);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({170, 586});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(Splitter1);
  resize(756, 430);
}

QWidget* TfrmItemEdit::BuildButtons() {
  using WidgetLook::NamedButton;
  GroupBox4 = new QGroupBox(Panel1);
  GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
  GroupBox4->setFixedHeight(74);
  btnAdd = NamedButton(GroupBox4, QStringLiteral("btnAdd"), QStringLiteral("增加&A"));
  btnSave = NamedButton(GroupBox4, QStringLiteral("btnSave"), QStringLiteral("保存&S"));
  RzButton3 = NamedButton(GroupBox4, QStringLiteral("RzButton3"), QStringLiteral("打印编码表&P"));
  btnDelete = NamedButton(GroupBox4, QStringLiteral("btnDelete"), QStringLiteral("删除&D"));
  btnCancel = NamedButton(GroupBox4, QStringLiteral("btnCancel"), QStringLiteral("取消&C"));
  btnClose = NamedButton(GroupBox4, QStringLiteral("btnClose"), QStringLiteral("退出&E"));
  btnHistory = NamedButton(GroupBox4, QStringLiteral("btnHistory"), QStringLiteral("历史&H"));
  auto* grid = new QGridLayout(GroupBox4);
  grid->addWidget(btnAdd, 0, 0);
  grid->addWidget(btnSave, 0, 1);
  grid->addWidget(RzButton3, 0, 2);
  grid->addWidget(btnDelete, 1, 0);
  grid->addWidget(btnCancel, 1, 1);
  grid->addWidget(btnHistory, 1, 3);
  grid->addWidget(btnClose, 1, 2);
  return GroupBox4;
}

void TfrmItemEdit::BuildPermissionActions() {
  const ActionMaker PermissionAction = PermissionActionsOf("项目", famCateToItemTree->imgTree);
  pmItemAdd = PermissionAction(QStringLiteral("pmItemAdd"), QStringLiteral("增加(&A)"),
                               CatalogueRules::kItemAdd, 11);
  pmItemDelete = PermissionAction(QStringLiteral("pmItemDelete"), QStringLiteral("删除(&D)"),
                                  "TJXT202002", 15);
  pmItemSave =
      PermissionAction(QStringLiteral("pmItemSave"), QStringLiteral("保存(&S)"), "TJXT202004", 14);
  pmItemCancel = PermissionAction(QStringLiteral("pmItemCancel"), QStringLiteral("取消(&C)"),
                                  "TJXT202005", 18);
  pmItemPrintForm = PermissionAction(QStringLiteral("pmItemPrintForm"),
                                     QStringLiteral("打印编码表(&P)"), "TJXT202006", 12);
  pmItemHistory = PermissionAction(QStringLiteral("pmItemHistory"), QStringLiteral("历史(&H)"),
                                   "TJXT202007", 12);
  pmItemHistory->InvisibleIfNoRight = true;
}

void TfrmItemEdit::ConnectHandlers() {
  AddCommand(btnAdd, pmItemAdd, [this] { btnAddClick(btnAdd); });
  AddCommand(btnCancel, pmItemCancel, [this] { btnAddClick(btnCancel); });
  AddCommand(btnSave, pmItemSave, [this] { btnSaveClick(); });
  AddCommand(btnDelete, pmItemDelete, [this] { btnDeleteClick(); });
  AddCommand(RzButton3, pmItemPrintForm, [this] { RzButton3Click(); });
  AddCommand(btnClose, nullptr, [this] { btnCloseClick(); });
  AddCommand(btnHistory, pmItemHistory, [this] { THistoryDialog::ShowFor(this, famItem->Item()); });
  ConnectTreeClick(famCateToItemTree->chkCateTree, [this] { famCateToItemTreechkCateTreeClick(); });
  ConnectExit(famItem->edtPrice, [this] { famItemedtPriceExit(); });
  ConnectEnterOrder();
}

// Enter moves through the fields in the order a user fills them in, ending
// on Save.
void TfrmItemEdit::ConnectEnterOrder() {
  TfamItem* f = famItem;
  const std::vector<QWidget*> order = {f->Cbbcate,       f->edtItemName,    f->edtStandItemName,
                                       f->edtSortID,     f->combSex,        f->edtUnit,
                                       f->edtPY,         f->edtWB,          f->edtCustom,
                                       f->edtRightValue, f->combResultType, f->edtUpperLimit,
                                       f->edtLowerLimit, f->combHightHint,  f->combLowerHint,
                                       f->edtMaxValue,   f->edtMinValue,    f->combSampleType,
                                       f->edtPrice,      f->combChargeType, btnSave};
  ::ConnectEnterOrder(order);  // the hidden charge type is passed over
}

void TfrmItemEdit::FormCreate(QObject* sender) {
  TMDIChild::FormCreate(sender);
  ReadDataOrClose("读取体检类别、采样类型和收费项目失败，项目维护窗口不能使用。",
                  [this] { famItem->LoadLists(); });
}

void TfrmItemEdit::FormShow(QObject* sender) {
  TMDIChild::FormShow(sender);
  if (!Frame()->isMaximized()) Frame()->resize(760, 462);
  famCateToItemTree->ItemImageIndex = 2;
  famCateToItemTree->ItemSelectedIndex = 3;
  if (!ReadDataOrClose("读取体检类别和项目失败，项目维护窗口不能使用。",
                       [this] { famCateToItemTree->BuildTree(); }))
    return;
  // The category list the tree read serves the category box as well.
  LookupLists::FillCategoryNames(famItem->Cbbcate, famCateToItemTree->Categories());
  QTreeWidget* tree = famCateToItemTree->chkCateTree;
  if (tree->topLevelItemCount() == 0) return;
  tree->setCurrentItem(tree->topLevelItem(0));
  tree->topLevelItem(0)->setExpanded(true);
  StartNewItem();
}

void TfrmItemEdit::RebuildTreeAtEditor() {
  famCateToItemTree->BuildTree();
  CategoryTrees::SelectEntryOrCategory(famCateToItemTree->chkCateTree, famItem->Item(),
                                       famItem->CategoryName());
}

QTreeWidgetItem* TfrmItemEdit::SelectedNode() const {
  const QList<QTreeWidgetItem*> selected = famCateToItemTree->chkCateTree->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

std::string TfrmItemEdit::SelectedCategoryName() const {
  QTreeWidgetItem* node = SelectedNode();
  if (!node) return {};
  if (TreeNodeData::Level(node) == 1) node = node->parent();
  return QtText::FromQ(node->text(0));
}

void TfrmItemEdit::btnAddClick(QObject* /*sender*/) {
  StartNewItem();
}

void TfrmItemEdit::StartNewItem() {
  famItem->ShowItem(famItem->NewItem(), SelectedCategoryName());
  famItem->Cbbcate->setFocus(Qt::OtherFocusReason);
}

void TfrmItemEdit::btnSaveClick() {
  if (!famItem->Item()) return;  // opened without categories: nothing is edited yet
  TBaseItem* item = famItem->Item();
  const int result = famItem->SaveItem();
  if (result == 2) {
    famCateToItemTree->AddItemNode(item);
  } else if (result == 3 || result == EntryWrites::kChangedElsewhere) {
    famCateToItemTree->RenameItemNode(item);
  } else if (result == EntryWrites::kDeletedElsewhere) {
    RemoveNodeOf(item);
    CatalogueEntries::Retire(item);
    StartNewItem();
  }
}

void TfrmItemEdit::btnDeleteClick() {
  TBaseItem* item = famItem->Item();
  const int deleted = item ? famItem->DeleteItem() : -1;
  if (deleted == -2) return;  // refused: the item stays on screen
  if (deleted == -3) {        // changed elsewhere: shown as it is now
    famCateToItemTree->RenameItemNode(item);
    return;
  }
  if (deleted == 0) RemoveNodeOf(item);
  StartNewItem();
}

// The node of the deleted item itself; a category node or another item of
// the same name is never touched. The selection moves to the item's
// category first: the tree would move it on to a neighbouring item that
// the editor does not show, and the new entry the editor starts takes the
// selected node's category.
void TfrmItemEdit::RemoveNodeOf(TBaseItem* item) {
  QTreeWidget* tree = famCateToItemTree->chkCateTree;
  QTreeWidgetItem* node = TreeNodeData::FindByObject(tree, item);
  if (!node) return;
  if (tree->currentItem() == node && node->parent()) tree->setCurrentItem(node->parent());
  delete node;
}

void TfrmItemEdit::RzButton3Click() {
  PrintCodeTable();  // checks pmItemPrintForm again, as a print by name does
}

TTableReport TfrmItemEdit::CodeTable() {
  TTableReport report(windowTitle(), {{QStringLiteral("项目编号")},
                                      {QStringLiteral("项目名称")},
                                      {QStringLiteral("拼音编码")},
                                      {QStringLiteral("单位")},
                                      {QStringLiteral("参考范围")},
                                      {QStringLiteral("单价"), Qt::AlignRight},
                                      {QStringLiteral("启用"), Qt::AlignHCenter}});
  // The items by category in one pass over the catalogue, in catalogue
  // order as the tree lists them; an item moved to another category prints
  // under the category it now has.
  std::unordered_map<int32_t, std::vector<const TBaseItem*>> byCategory;
  for (const TBaseItem* entry : TItemManager::Instance().Items())
    if (entry->ItemType == kExaminationItem) byCategory[entry->CateID].push_back(entry);
  QTreeWidget* tree = famCateToItemTree->chkCateTree;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    const auto* category =
        dynamic_cast<const TCategory*>(TreeNodeData::Object(tree->topLevelItem(i)));
    if (!category || !category->CateID) continue;
    const auto items = byCategory.find(*category->CateID);
    if (items == byCategory.end()) continue;
    report.AddGroup(QtText::ToQ(category->CateName));
    for (const TBaseItem* item : items->second) report.AddRow(ItemCells(*item));
  }
  return report;
}

void TfrmItemEdit::btnCloseClick() {
  close();
}

void TfrmItemEdit::famCateToItemTreechkCateTreeClick() {
  // Showing what the catalogue holds cannot fail in a way the user could
  // act on; a failure leaves the editor as it was.
  try {
    QTreeWidgetItem* node = SelectedNode();
    const bool itemNode = node && TreeNodeData::Level(node) == 1;
    famItem->SetCategoryName(SelectedCategoryName());
    if (!itemNode) return;
    if (TBaseItem* item = famCateToItemTree->GetSelectedItem())
      famItem->ShowItem(item, famItem->CategoryName());
  } catch (...) {
  }
}

void TfrmItemEdit::famItemedtPriceExit() {
  // Only a move to another field of the item: leaving for a button or the
  // tree (to save, discard or pick another item) is not held up here; Save
  // refuses a bad price on its own.
  QWidget* next = QApplication::focusWidget();
  if (!next || !famItem->isAncestorOf(next)) return;
  const QString price = famItem->edtPrice->text();
  if (FieldConvert::IsFloat(price, ColumnWidths::LargestUnitPrice) &&
      FieldConvert::ToFloat(price, QString(), ColumnWidths::LargestUnitPrice) >= 0)
    return;
  famItem->edtPrice->setFocus(Qt::OtherFocusReason);
  TPromptService::Error(this, QStringLiteral("错误"),
                        QStringLiteral("对不起，您输入单价信息有误请修改后在进行后面的操作！"));
}
