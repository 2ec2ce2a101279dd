#include "TfrmCombItem.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "CatalogueEntries.h"
#include "CatalogueRules.h"
#include "CategoryTrees.h"
#include "ColumnWidths.h"
#include "DomainObjects.h"
#include "EntryWrites.h"
#include "Exceptions.h"
#include "FieldConvert.h"
#include "FieldEvents.h"
#include "HandlerConnect.h"
#include "LookupLists.h"
#include "MessagePrefix.h"
#include "QtText.h"
#include "TCategory.h"
#include "TCheckGrid.h"
#include "TCombItem.h"
#include "THistoryDialog.h"
#include "TItemManager.h"
#include "TPermissionAction.h"
#include "TPromptService.h"
#include "TfamCatetoCombTree.h"
#include "TfamCombItem.h"
#include "TfamCombToItem.h"
#include "TreeNodeData.h"
#include "WidgetLook.h"

namespace {

// A column of buttons at the right of a panel, 85 pixels wide.
QGroupBox* ButtonColumn(QWidget* parent, const QString& name,
                        std::initializer_list<QPushButton*> buttons) {
  auto* box = new QGroupBox(parent);
  box->setObjectName(name);
  box->setFixedWidth(85);
  auto* layout = new QVBoxLayout(box);
  for (QPushButton* button : buttons) {
    button->setParent(box);
    layout->addWidget(button);
  }
  layout->addStretch(1);
  return box;
}

QPushButton* Button(const char* name, const QString& caption) {
  return WidgetLook::NamedButton(nullptr, QString::fromLatin1(name), caption);
}

// Two panes side by side or one above the other; the second takes what room
// is left.
QSplitter* TwoPanes(Qt::Orientation orientation, const char* name, int handleWidth, QWidget* first,
                    QWidget* second, const QList<int>& sizes) {
  auto* splitter = new QSplitter(orientation);
  splitter->setObjectName(QString::fromLatin1(name));
  splitter->setHandleWidth(handleWidth);
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(first);
  splitter->addWidget(second);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes(sizes);
  return splitter;
}

// A panel: its content with a column of buttons at the right.
void FillPanel(QWidget* panel, QWidget* content, QWidget* buttons) {
  auto* layout = new QHBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(content, 1);
  layout->addWidget(buttons);
}

// A page of a page control that its content fills.
QWidget* Page(QTabWidget* pages, const char* name, const QString& caption, QWidget* content) {
  auto* page = new QWidget;
  page->setObjectName(QString::fromLatin1(name));
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(content);
  pages->addTab(page, caption);
  return page;
}

}  // namespace

TfrmCombItem::TfrmCombItem(IWinMain* host) : TMDIChild(host) {
  setObjectName(QStringLiteral("frmCombItem"));
  setWindowTitle(QStringLiteral("组合项目设置"));
  BindOnDestroyToFormDestroy();
  BuildLayout();
  BuildPermissionActions();
  ConnectHandlers();
  follower_ = std::make_unique<TCatalogueFollower>(
      this, [this] { RebuildTreeAtEditor(); },
      [this] {
        return std::vector<const TBaseItem*>{famCombItem->Item(), famCombToItem->Item()};
      });
}

TfrmCombItem::~TfrmCombItem() = default;

void TfrmCombItem::BuildLayout() {
  GroupBox1 = new QGroupBox(QStringLiteral("类别"));
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  famCatetoCombTree = new TfamCatetoCombTree(GroupBox1);
  (new QVBoxLayout(GroupBox1))->addWidget(famCatetoCombTree);

  PageControl1 = new QTabWidget;
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  TabSheet1 = Page(PageControl1, "TabSheet1", QStringLiteral("组合项目"), BuildEditorPage());

  // The tree pane fits a ten-character name two levels deep with its
  // picture ("前列腺特异性抗原检测"); the window still fits a 1366 x 768 screen.
  Splitter2 = TwoPanes(Qt::Horizontal, "Splitter2", 6, GroupBox1, PageControl1, {250, 640});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(Splitter2);
  resize(900, 593);
}

// The combination item's fields and buttons above, the two grids below.
QWidget* TfrmCombItem::BuildEditorPage() {
  Panel1 = new QWidget;
  Panel1->setObjectName(QStringLiteral("Panel1"));
  famCombItem = new TfamCombItem(Panel1);
  RzBitBtn1 = Button("RzBitBtn1", QStringLiteral("增加"));
  RzBitBtn2 = Button("RzBitBtn2", QStringLiteral("取消"));
  RzBitBtn3 = Button("RzBitBtn3", QStringLiteral("保存"));
  RzBitBtn4 = Button("RzBitBtn4", QStringLiteral("删除"));
  btnHistory = Button("btnHistory", QStringLiteral("历史"));
  GroupBox4 = ButtonColumn(Panel1, QStringLiteral("GroupBox4"),
                           {RzBitBtn1, RzBitBtn2, RzBitBtn3, RzBitBtn4, btnHistory});
  FillPanel(Panel1, famCombItem, GroupBox4);

  PageControl2 = new QTabWidget;
  PageControl2->setObjectName(QStringLiteral("PageControl2"));
  TabSheet2 = Page(PageControl2, "TabSheet2", QStringLiteral("选择项目"), BuildMemberPage());
  using Kind = TCheckGrid::TColumnKind;
  tsgrdComb = new TCheckGrid({{QStringLiteral("ItemCode"), Kind::Hidden, 0},
                              {QStringLiteral("体检项目名称"), Kind::Text, 228},
                              {QStringLiteral("是否选中"), Kind::Check, 98}});
  tsgrdComb->setObjectName(QStringLiteral("tsgrdComb"));
  TabSheet3 = Page(PageControl2, "TabSheet3", QStringLiteral("排除项目"), tsgrdComb);
  PageControl2->setCurrentIndex(0);

  Splitter1 = TwoPanes(Qt::Vertical, "Splitter1", 5, Panel1, PageControl2, {250, 300});
  return Splitter1;
}

QWidget* TfrmCombItem::BuildMemberPage() {
  Panel2 = new QWidget;
  Panel2->setObjectName(QStringLiteral("Panel2"));
  famCombToItem = new TfamCombToItem(Panel2);
  RzBitBtn5 = Button("RzBitBtn5", QStringLiteral("全选"));
  RzBitBtn6 = Button("RzBitBtn6", QStringLiteral("全不选"));
  RzBitBtn8 = Button("RzBitBtn8", QStringLiteral("退出"));
  RzBitBtn7 = Button("RzBitBtn7", QStringLiteral("确定"));
  GroupBox5 = ButtonColumn(Panel2, QStringLiteral("GroupBox5"),
                           {RzBitBtn5, RzBitBtn6, RzBitBtn8, RzBitBtn7});
  RzBitBtn7->hide();
  FillPanel(Panel2, famCombToItem, GroupBox5);
  return Panel2;
}

void TfrmCombItem::BuildPermissionActions() {
  // This action list has no image list: the picture numbers show nothing.
  const ActionMaker PermissionAction = PermissionActionsOf("组合项目", nullptr);
  pmCombItemAdd = PermissionAction(QStringLiteral("pmCombItemAdd"), QStringLiteral("增加(&A)"),
                                   CatalogueRules::kCombItemAdd, 11);
  pmCombItemDelete = PermissionAction(QStringLiteral("pmCombItemDelete"),
                                      QStringLiteral("删除(&D)"), "TJXT203002", 15);
  pmCombItemCancel = PermissionAction(QStringLiteral("pmCombItemCancel"),
                                      QStringLiteral("取消(&C)"), "TJXT203004", 18);
  pmCombItemSave = PermissionAction(QStringLiteral("pmCombItemSave"), QStringLiteral("保存(&C)"),
                                    "TJXT203005", 14);
  pmCombItemCheckAll = PermissionAction(QStringLiteral("pmCombItemCheckAll"),
                                        QStringLiteral("全选(&W)"), "TJXT203006", 19);
  pmCombItemNotCheckAll = PermissionAction(QStringLiteral("pmCombItemNotCheckAll"),
                                           QStringLiteral("全不选(&N)"), "TJXT203007", 20);
  pmCombItemHistory = PermissionAction(QStringLiteral("pmCombItemHistory"),
                                       QStringLiteral("历史(&H)"), "TJXT203008", 14);
  pmCombItemHistory->InvisibleIfNoRight = true;
}

void TfrmCombItem::ConnectHandlers() {
  AddCommand(RzBitBtn1, pmCombItemAdd, [this] { RzBitBtn1Click(); });
  // RzBitBtn2 ("取消") has no handler: pressing it does nothing.
  AddCommand(RzBitBtn2, pmCombItemCancel, [] {});
  AddCommand(RzBitBtn3, pmCombItemSave, [this] { RzBitBtn3Click(); });
  AddCommand(RzBitBtn4, pmCombItemDelete, [this] { RzBitBtn4Click(); });
  AddCommand(RzBitBtn5, pmCombItemCheckAll, [this] { RzBitBtn5Click(); });
  AddCommand(RzBitBtn6, pmCombItemNotCheckAll, [this] { RzBitBtn6Click(); });
  AddCommand(RzBitBtn7, nullptr, [this] { RzBitBtn7Click(); });
  AddCommand(RzBitBtn8, nullptr, [this] { RzBitBtn8Click(); });
  AddCommand(btnHistory, pmCombItemHistory,
             [this] { THistoryDialog::ShowFor(this, famCombItem->Item()); });
  // A click is a left-button release over a node; one on empty space would
  // only show the same item again and drop what was typed.
  ConnectTreeClick(famCatetoCombTree->CateToCombTree,
                   [this] { famCatetoCombTreeCateToCombTreeClick(); });
  TfamCombItem* f = famCombItem;
  ConnectHandler(f->Cbbcate, &QComboBox::activated, this, [this] { famCombItemCbbcateChange(); });
  ConnectHandler(f->Cbbcate->lineEdit(), &QLineEdit::textEdited, this,
                 [this] { famCombItemCbbcateChange(); });
  ConnectExit(f->edtPrice, [this] { famCombItemedtPriceExit(); });
  ConnectEnterOrder({f->Cbbcate, f->edtCombName, f->edtSort, f->edtPrice, f->edtABForPY,
                     f->edtABForWB, f->edtCustom, f->combChargeType, f->combSampleType});
}

void TfrmCombItem::FormCreate(QObject* sender) {
  TMDIChild::FormCreate(sender);
  // The pool is made here on the first open: its configuration and connect
  // errors get the window's words in front like the reads'.
  ReadDataOrClose("读取体检类别、采样类型和收费项目失败，组合项目设置窗口不能使用。", [this] {
    lookupCategory_ = std::make_unique<TCategory>(DomainObjects::SharedPool());
    famCombItem->LoadLists();
  });
}

void TfrmCombItem::FormShow(QObject* sender) {
  TMDIChild::FormShow(sender);
  // Maximising shows the frame once more, which comes back here before the
  // first show is done: that nested show leaves the reading to this one
  // (the tree, the category and the new item were read twice).
  if (maximising_) return;
  if (!opened_) {
    opened_ = true;
    maximising_ = true;
    Frame()->showMaximized();  // the window opens maximised
    maximising_ = false;
  }
  ReadDataOrClose("读取体检类别和组合项目失败，组合项目设置窗口不能使用。",
                  [this] { ShowFirstCategory(); });
}

// A rebuild forgets the pressed category (it may be an object of the old
// build); the window's own category object outlives it, and Add starts a
// new item in it. The tree shows the editor's place again.
void TfrmCombItem::RebuildTreeAtEditor() {
  TCategory* pressed = famCatetoCombTree->CurrentCategory();
  famCatetoCombTree->BuildTree();
  if (pressed == LookupCategory()) famCatetoCombTree->SetCurrentCategory(pressed);
  CategoryTrees::SelectEntryOrCategory(famCatetoCombTree->CateToCombTree, famCombItem->Item(),
                                       LookupCategory()->CateName);
}

void TfrmCombItem::ShowFirstCategory() {
  famCatetoCombTree->ItemImageIndex = 0;
  famCatetoCombTree->ItemSelectedIndex = 1;
  famCatetoCombTree->BuildTree();
  // The category list the tree read serves the category box as well.
  LookupLists::FillCategoryNames(famCombItem->Cbbcate, famCatetoCombTree->Categories());
  QTreeWidget* tree = famCatetoCombTree->CateToCombTree;
  if (tree->topLevelItemCount() == 0) return;
  // The window's own category object, so that a save under another category
  // never rewrites the object a tree node stands for.
  ReadLookupCategory(QtText::FromQ(tree->topLevelItem(0)->text(0)));
  famCombItem->ShowItem(LookupCategory(), famCombItem->NewItem());
  famCombToItem->ShowItem(LookupCategory(), famCombItem->Item(), true);
  // The exclusion ticks belong to the item shown: after a hide and show the
  // new item starts as on the first opening, not with the rows and ticks of
  // the item shown before.
  tsgrdComb->RemoveAllRows();
  famCombItem->Cbbcate->setEditText(QtText::ToQ(LookupCategory()->CateName));
  famCombItem->edtCombName->setFocus(Qt::OtherFocusReason);
}

void TfrmCombItem::ReadLookupCategory(const std::string& name) {
  lookupCategory_->CateID = lookupCategory_->GetCateIDByName(name);
  // No such category: the object must not keep the name of the one before.
  if (lookupCategory_->Find() != 0) lookupCategory_->CateName = name;
}

void TfrmCombItem::ShowNewItem(TCategory* category) {
  famCombItem->ShowItem(category, famCombItem->NewItem());
  famCombToItem->ShowItem(category, famCombItem->Item(), true);
  FillExcludeGrid(std::string(), category->CateID.value_or(0), std::string());
}

void TfrmCombItem::RzBitBtn1Click() {
  // The grids are filled anew: the category's items may not be the ones
  // listed, and the ticks of the item shown before belong to that item.
  ShowNewItem(famCatetoCombTree->CurrentCategory());
  famCombItem->edtCombName->setFocus(Qt::OtherFocusReason);
}

void TfrmCombItem::RzBitBtn3Click() {
  TBaseItem* item = famCombItem->Item();
  if (!item) throw ETJItemException("当前没有要保存的信息!");
  CheckPrice();
  const std::string exclusions = CollectExcludeItems();
  const int result = famCombItem->SaveItem([&] {
    famCombToItem->CollectMembers();
    item->ExcludeItems = exclusions;
  });
  TCategory* category = famCombItem->Category();
  if (result == 2) {
    category->CateID = item->CateID;
    category->Find();
    famCatetoCombTree->AddItemNode(category, item);
    famCombToItem->ShowItem(category, item, true);
  } else if (result == 3 || result == EntryWrites::kChangedElsewhere) {
    ShowUnderOwnCategory(item, result == EntryWrites::kChangedElsewhere);
  } else if (result == EntryWrites::kDeletedElsewhere) {
    famCatetoCombTree->RemoveItemNode(item);
    CatalogueEntries::Retire(item);
    ShowNewItem(category);
  }
}

// The node goes where the row is: under the item's own category, never the
// category pressed last (left under another, the node would show the item
// with that category, and the next save would move the item there). The
// window's category follows, so the editor and its grids agree.
void TfrmCombItem::ShowUnderOwnCategory(TBaseItem* item, bool showAgain) {
  lookupCategory_->CateID = item->CateID;
  lookupCategory_->Find();
  famCatetoCombTree->SetCurrentCategory(LookupCategory());
  famCatetoCombTree->RenameItemNode(LookupCategory(), item);
  famCatetoCombTree->MoveItemNode(LookupCategory(), item);
  if (!showAgain) return;
  famCombItem->ShowItem(LookupCategory(), item);
  famCombToItem->ShowItem(LookupCategory(), item, true);
  FillExcludeGrid(item->ItemCode, item->CateID, item->ExcludeItems);
}

void TfrmCombItem::CheckPrice() {
  QLineEdit* field = famCombItem->edtPrice;
  const double price =
      FieldConvert::ToFloat(field->text(), QStringLiteral("单价"), ColumnWidths::LargestUnitPrice);
  if (price < 0) {
    field->setFocus(Qt::OtherFocusReason);
    throw ETJItemException("单价不能为负数！");
  }
  if (price > 0) return;
  TPromptService::Information(this, QStringLiteral("提示"),
                              QStringLiteral("提示：组合项目价格为0。"));
  field->setFocus(Qt::OtherFocusReason);
}

void TfrmCombItem::RzBitBtn4Click() {
  TBaseItem* item = famCombItem->Item();
  if (!item || item->ItemID == 0) return;  // a new item: nothing stored to delete
  const int deleted =
      WithMessagePrefix(FormatText("删除组合项目：[%s] 出现异常！\r\n", {item->ItemName}), [&] {
        const QString question =
            QtText::ToQ(FormatText("是否要删除名称为[%s]的组合项目！", {item->ItemName}));
        return EntryWrites::Delete(this, *item, question, item->ItemCode, item->ItemName);
      });
  if (deleted == EntryWrites::kChangedElsewhere) ShowUnderOwnCategory(item, true);
  if (deleted != 1) return;
  famCatetoCombTree->RemoveItemNode(item);
  CatalogueEntries::Retire(item);
  ShowNewItem(famCombItem->Category());
}

void TfrmCombItem::RzBitBtn5Click() {
  famCombToItem->SetAllChecks(true);
}

void TfrmCombItem::RzBitBtn6Click() {
  famCombToItem->SetAllChecks(false);
}

void TfrmCombItem::RzBitBtn7Click() {
  if (famCombToItem->CollectMembers() == 0)
    TPromptService::Information(this, QStringLiteral("操作提示"), QStringLiteral("保存成功!"));
}

void TfrmCombItem::RzBitBtn8Click() {
  close();
}

QTreeWidgetItem* TfrmCombItem::SelectedNode() const {
  const QList<QTreeWidgetItem*> selected = famCatetoCombTree->CateToCombTree->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

void TfrmCombItem::famCatetoCombTreeCateToCombTreeClick() {
  // Showing what the catalogue holds cannot fail in a way the user could act
  // on; a failure leaves the window as it was.
  try {
    QTreeWidgetItem* node = SelectedNode();
    if (!node) return;
    if (TreeNodeData::Level(node) == 1) node = node->parent();
    ReadLookupCategory(QtText::FromQ(node->text(0)));
    famCatetoCombTree->SetCurrentCategory(LookupCategory());
    TBaseItem* item = famCatetoCombTree->CurrentCombItem();
    if (!item) return;
    famCombItem->ShowItem(LookupCategory(), item);
    famCombToItem->ShowItem(LookupCategory(), item, true);
    FillExcludeGrid(item->ItemCode, LookupCategory()->CateID.value_or(0), item->ExcludeItems);
  } catch (...) {
  }
}

void TfrmCombItem::famCombItemCbbcateChange() {
  ReadLookupCategory(QtText::FromQ(famCombItem->Cbbcate->currentText()));
  famCatetoCombTree->SetCurrentCategory(LookupCategory());
  TBaseItem* item = famCombItem->Item();
  if (!item) return;
  famCombToItem->ShowItem(LookupCategory(), item, true);
  // Only combination items of the item's own category can be excluded.
  FillExcludeGrid(item->ItemCode, LookupCategory()->CateID.value_or(0), TickedExclusions());
}

void TfrmCombItem::famCombItemedtPriceExit() {
  // Only a move to another field of the item: leaving for a button or the
  // tree (to save, discard or pick another item) is not held up here; Save
  // refuses a bad price on its own.
  QWidget* next = QApplication::focusWidget();
  if (!next || !famCombItem->isAncestorOf(next)) return;
  if (FieldConvert::IsFloat(famCombItem->edtPrice->text(), ColumnWidths::LargestUnitPrice)) return;
  famCombItem->edtPrice->setFocus(Qt::OtherFocusReason);
  TPromptService::Error(
      this, QStringLiteral("错误"),
      QStringLiteral("对不起，您输入的价格信息格式有误请修改后再进行下一步操作！"));
}

void TfrmCombItem::FillExcludeGrid(const std::string& code, int32_t cateID,
                                   const std::string& exclusions) {
  tsgrdComb->RemoveAllRows();
  const auto excluded = TCombItem::ExcludedCodes(exclusions);
  for (const TCombItemChoice& choice : TCombItem::ExclusionCandidates(code, cateID)) {
    const int row = tsgrdComb->AppendRow();
    tsgrdComb->SetText(row, colExcludeCode, QtText::ToQ(choice.ItemCode));
    tsgrdComb->SetText(row, colExcludeName, QtText::ToQ(choice.ItemName));
    tsgrdComb->SetChecked(row, colExcluded, excluded.count(choice.ItemCode) > 0);
  }
}

std::string TfrmCombItem::TickedExclusions() const {
  std::string text;
  for (int row = 0; row < tsgrdComb->rowCount(); ++row)
    if (tsgrdComb->IsChecked(row, colExcluded))
      text += QtText::FromQ(tsgrdComb->Text(row, colExcludeCode)) + ";";
  return text;
}

// The rows come from the database, and so does the check: a combination
// item added at another desk may be excluded, one deleted anywhere may not.
std::string TfrmCombItem::CollectExcludeItems() const {
  std::vector<std::string> ticked;
  for (int row = 0; row < tsgrdComb->rowCount(); ++row)
    if (tsgrdComb->IsChecked(row, colExcluded))
      ticked.push_back(QtText::FromQ(tsgrdComb->Text(row, colExcludeCode)));
  const std::unordered_set<std::string> stored = famCombItem->Item()->StoredCodes(ticked);
  for (int row = 0; row < tsgrdComb->rowCount(); ++row) {
    if (!tsgrdComb->IsChecked(row, colExcluded)) continue;
    if (!stored.count(QtText::FromQ(tsgrdComb->Text(row, colExcludeCode))))
      throw ETJItemException("组合项目[%s]已被删除，不能再被排除，请取消它的选择！",
                             {QtText::FromQ(tsgrdComb->Text(row, colExcludeName))});
  }
  return TickedExclusions();
}

void TfrmCombItem::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
    return TMDIChild::keyPressEvent(event);
  // A button with the focus is pressed, as on the desktop; from anywhere
  // else Enter moves on.
  if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
      button && isAncestorOf(button))
    button->click();
  else
    focusNextChild();
}
