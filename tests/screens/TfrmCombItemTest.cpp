#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "Exceptions.h"
#include "GbkText.h"
#include "QtText.h"
#include "ScreenTest.h"
#include "TCatalogueFollower.h"
#include "TCategory.h"
#include "TCheckGrid.h"
#include "TItemManager.h"
#include "TPermissionAction.h"
#include "TPromptService.h"
#include "TRadioGroup.h"
#include "TfamCateToItemTree.h"
#include "TfamCatetoCombTree.h"
#include "TfamCombItem.h"
#include "TfamCombToItem.h"
#include "TfrmCombItem.h"
#include "TfrmItemEdit.h"

namespace {

// Columns used to compare stored rows in one string.
const char8_t* const kStored =
    u8"ItemName||'|'||ItemType||'|'||CateId||'|'||CateName||'|'||ItemsString||'|'||"
    u8"ExcludeItems||'|'||UnitPrice||'|'||SampleTypeID||'|'||SampleGroupID";

class TfrmCombItemTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    host.User.UserName = "Chief";
    db.Exec(
        u8"INSERT INTO TJCategories (CateID, CateCode, CateName) VALUES "
        u8"(1, '000001', '检验科'), (2, '000002', '一般检查'), (3, '000003', '空类别')");
    // Sample type numbers that are not their positions in the list.
    db.Exec(
        u8"INSERT INTO TJSampleType (ID, SampleTypeID, SampleTypeName) VALUES "
        u8"(1, 5, '血液'), (2, 7, '尿液');"
        u8"INSERT INTO TJSampleGroup (GroupID, SampleTypeID, GroupName) VALUES "
        u8"(1, 5, '紫头管'), (2, 5, '红头管'), (3, 7, '尿杯')");
    db.Exec(u8"INSERT INTO sfChargeItem (ItemCode, ItemName) VALUES ('01', '化验费')");
    db.Exec(
        u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, CateId, CateName, "
        u8"ItemsString, ExcludeItems, UnitPrice, SampleTypeID, SampleGroupID, Sex, IsInUse) "
        u8"VALUES "
        u8"(1, '000001', '血糖', 0, 1, '检验科', '', '', 0, 0, 0, '不限', 1), "
        u8"(2, '000002', '肌酐', 0, 1, '检验科', '', '', 0, 0, 0, '不限', 1), "
        u8"(3, '000003', '甘油三酯', 0, 1, '检验科', '', '', 0, 0, 0, '女', 1), "
        u8"(4, '000004', '身高', 0, 2, '一般检查', '', '', 0, 0, 0, '不限', 1), "
        // The whole-entry rule: 1000012 names another item than 000012.
        u8"(10, '000010', '血脂', 1, 1, '检验科', '000002;000003;', '1000012;', 40, 7, 3, '', "
        u8"1), "
        u8"(12, '000012', '肝功能', 1, 1, '检验科', '000001;', '', 30, 5, 1, '', 1), "
        u8"(13, '1000012', '肾功能', 1, 1, '检验科', '', '', 30, 5, 1, '', 1), "
        u8"(14, '000014', '体格检查', 1, 2, '一般检查', '000004;', '', 5, 0, 0, '', 1), "
        // A check set keeps 血脂 referenced.
        u8"(20, '000020', '入职套餐', 2, 1, '检验科', '000010;', '', 0, 0, 0, '', 1)");
  }

  TfrmCombItem* OpenWindow() {
    w = Open<TfrmCombItem>();
    tree = w->famCatetoCombTree->CateToCombTree;
    f = w->famCombItem;
    grid = w->famCombToItem->tsgCombToItem;
    return w;
  }
  QTreeWidgetItem* Category(int i) { return tree->topLevelItem(i); }
  QTreeWidgetItem* Node(const QString& name) {
    QList<QTreeWidgetItem*> found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
  }
  void Press(const QString& name) { ClickNode(tree, Node(name)); }
  void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    Settle();
  }
  // A user's click on a grid cell.
  static void ClickCell(TCheckGrid* on, int row, int column) {
    on->scrollToItem(on->item(row, column));
    QTest::mouseClick(on->viewport(), Qt::LeftButton, {},
                      on->visualItemRect(on->item(row, column)).center());
    Settle();
  }
  // "name:1" for a ticked row, "name:0" for one that is not.
  static QStringList Rows(TCheckGrid* on, int nameColumn, int checkColumn) {
    QStringList rows;
    for (int row = 0; row < on->rowCount(); ++row)
      rows << on->Text(row, nameColumn) +
                  (on->IsChecked(row, checkColumn) ? QStringLiteral(":1") : QStringLiteral(":0"));
    return rows;
  }
  QStringList Members() {
    return Rows(grid, TfamCombToItem::colItemName, TfamCombToItem::colChecked);
  }
  QStringList Exclusions() {
    return Rows(w->tsgrdComb, TfrmCombItem::colExcludeName, TfrmCombItem::colExcluded);
  }
  int RowOf(TCheckGrid* on, int column, const QString& text) {
    for (int row = 0; row < on->rowCount(); ++row)
      if (on->Text(row, column) == text) return row;
    return -1;
  }
  std::string Stored(int itemID) {
    return db.QueryText(Utf8(u8"SELECT ") + Utf8(kStored) +
                        " FROM TJItem WHERE ItemID = " + std::to_string(itemID));
  }
  std::string StoredNamed(const char8_t* name) {
    return db.QueryText(Utf8(u8"SELECT ") + Utf8(kStored) +
                        Utf8(u8" FROM TJItem WHERE ItemName = '") + Utf8(name) + "'");
  }
  long long Rows() { return db.QueryInt(u8"SELECT count(*) FROM TJItem"); }
  QString LastPrompt() {
    return TPromptService::History().empty() ? QString() : TPromptService::History().back().Text;
  }

  TfrmCombItem* w = nullptr;
  QTreeWidget* tree = nullptr;
  TfamCombItem* f = nullptr;
  TCheckGrid* grid = nullptr;
};

}  // namespace

TEST_F(TfrmCombItemTest, OpensMaximisedOnTheTreeWithANewItemOfTheFirstCategory) {
  OpenWindow();
  EXPECT_EQ(w->windowTitle(), QStringLiteral("组合项目设置"));
  EXPECT_TRUE(w->SubWindow()->isMaximized());
  EXPECT_EQ(TopTexts(tree), (QStringList{QStringLiteral("检验科"), QStringLiteral("一般检查"),
                                         QStringLiteral("空类别")}));
  // Combination items only, by name: no single item, no check set.
  EXPECT_EQ(
      ChildTexts(Category(0)),
      (QStringList{QStringLiteral("肝功能"), QStringLiteral("肾功能"), QStringLiteral("血脂")}));
  EXPECT_EQ(ChildTexts(Category(1)), QStringList{QStringLiteral("体格检查")});
  EXPECT_EQ(Category(2)->childCount(), 0);
  EXPECT_EQ(w->famCatetoCombTree->CurrentCategory(), nullptr);

  EXPECT_EQ(f->Cbbcate->currentText(), QStringLiteral("检验科"));
  EXPECT_EQ(f->edtCombCode->text(), QString());
  EXPECT_FALSE(f->edtCombCode->isEnabled());
  EXPECT_EQ(f->edtSort->text(), QStringLiteral("1"));
  EXPECT_EQ(f->edtPrice->text(), QStringLiteral("0"));
  EXPECT_TRUE(f->radIsInuse->IsYes());
  EXPECT_EQ(f->radIsHaveExamProcess->ItemIndex(), 1);  // "否": examined
  EXPECT_EQ(f->combSampleType->currentText(), QStringLiteral("血液"));
  EXPECT_EQ(f->cbbSampleGroup->count(), 2);
  EXPECT_EQ(f->cbbSampleGroup->currentIndex(), -1);
  EXPECT_FALSE(f->edtCombHint->isVisible());
  EXPECT_EQ(Members(), (QStringList{QStringLiteral("甘油三酯:0"), QStringLiteral("肌酐:0"),
                                    QStringLiteral("血糖:0")}));
  EXPECT_EQ(w->tsgrdComb->rowCount(), 0);
  EXPECT_EQ(w->PageControl2->currentWidget(), w->TabSheet2);
  EXPECT_EQ(w->PageControl2->tabText(1), QStringLiteral("排除项目"));
  EXPECT_FALSE(w->RzBitBtn7->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), f->edtCombName);
}

TEST_F(TfrmCombItemTest, PressingACombinationShowsItsFieldsMembersAndExclusions) {
  OpenWindow();
  Press(QStringLiteral("血脂"));
  EXPECT_EQ(f->edtCombName->text(), QStringLiteral("血脂"));
  EXPECT_EQ(f->edtCombCode->text(), QStringLiteral("000010"));
  EXPECT_EQ(f->edtPrice->text(), QStringLiteral("40"));
  EXPECT_EQ(f->combSampleType->currentText(), QStringLiteral("尿液"));  // by number, not position
  EXPECT_EQ(f->cbbSampleGroup->currentText(), QStringLiteral("尿杯"));
  EXPECT_EQ(Members(), (QStringList{QStringLiteral("甘油三酯:1"), QStringLiteral("肌酐:1"),
                                    QStringLiteral("血糖:0")}));
  EXPECT_EQ(grid->RowColour(0), TCheckGrid::HighlightColour());
  EXPECT_EQ(grid->RowColour(2), grid->WindowColour());
  // Neither the item itself, single items, the check set nor another
  // category's combination; 1000012 is excluded, 000012 is not.
  EXPECT_EQ(Exclusions(), (QStringList{QStringLiteral("肝功能:0"), QStringLiteral("肾功能:1")}));

  // A press on a category or on empty space keeps what is shown.
  Press(QStringLiteral("一般检查"));
  EXPECT_EQ(QtText::ToQ(w->famCatetoCombTree->CurrentCategory()->CateName),
            QStringLiteral("一般检查"));
  EXPECT_EQ(w->famCatetoCombTree->CurrentCombItem(), nullptr);
  EXPECT_EQ(f->edtCombName->text(), QStringLiteral("血脂"));
  EXPECT_EQ(Members().size(), 3);
  EXPECT_EQ(w->tsgrdComb->rowCount(), 2);
  QTreeWidgetItem* pressed = w->famCatetoCombTree->ClickedNode();
  ClickEmptySpace(tree);
  EXPECT_EQ(w->famCatetoCombTree->ClickedNode(), pressed);
  EXPECT_EQ(QtText::ToQ(w->famCatetoCombTree->CurrentCategory()->CateName),
            QStringLiteral("一般检查"));

  // The code goes into the query as a quoted value, never as SQL.
  w->FillExcludeGrid("x' OR '1'='1", 1, "");
  EXPECT_EQ(Exclusions(), (QStringList{QStringLiteral("血脂:0"), QStringLiteral("肝功能:0"),
                                       QStringLiteral("肾功能:0")}));
}

TEST_F(TfrmCombItemTest, TickedMembersAreStoredAndReadBackAndUncheckAllLeavesNone) {
  OpenWindow();
  Press(QStringLiteral("血脂"));
  const int sugar = RowOf(grid, TfamCombToItem::colItemName, QStringLiteral("血糖"));
  ClickCell(grid, sugar, TfamCombToItem::colChecked);
  EXPECT_TRUE(grid->IsChecked(sugar, TfamCombToItem::colChecked));
  EXPECT_EQ(grid->RowColour(sugar), TCheckGrid::HighlightColour());
  ClickCell(grid, 0, TfamCombToItem::colChecked);  // 甘油三酯 leaves
  EXPECT_EQ(grid->RowColour(0), grid->WindowColour());
  Click(w->RzBitBtn3);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(Stored(10), Utf8(u8"血脂|1|1|检验科|000002;000001;|1000012;|40.0|7|3"));

  // Read back by a catalogue loaded anew, as in the next session.
  Click(w->RzBitBtn8);
  TItemManager* catalogue = TItemManager::AccessInstance(0);
  TItemManager::AccessInstance(2);
  delete catalogue;
  OpenWindow();
  Press(QStringLiteral("血脂"));
  EXPECT_EQ(Members(), (QStringList{QStringLiteral("甘油三酯:0"), QStringLiteral("肌酐:1"),
                                    QStringLiteral("血糖:1")}));

  Click(w->RzBitBtn6);
  EXPECT_EQ(Members(), (QStringList{QStringLiteral("甘油三酯:0"), QStringLiteral("肌酐:0"),
                                    QStringLiteral("血糖:0")}));
  EXPECT_EQ(grid->RowColour(1), grid->WindowColour());
  Click(w->RzBitBtn3);
  EXPECT_EQ(Stored(10), Utf8(u8"血脂|1|1|检验科||1000012;|40.0|7|3"));
  EXPECT_TRUE(f->Item()->Items().IsEmpty());
  Click(w->RzBitBtn5);
  EXPECT_EQ(Members().filter(QStringLiteral(":1")).size(), 3);
}

// A catch-up with another desk rebuilds the tree and its category objects;
// Add afterwards still starts a new item in the category pressed before.
TEST_F(TfrmCombItemTest, AddAfterCatchingUpStartsInThePressedCategory) {
  OpenWindow();
  Press(QStringLiteral("体格检查"));
  db.Exec(u8"UPDATE TJItem SET UnitPrice = 7 WHERE ItemID = 12");  // another desk
  db.Exec(u8"UPDATE TJCatalogueVersion SET Version = Version + 1");
  ASSERT_TRUE(TCatalogueFollower::CatchUpWithOtherDesks());
  Settle();
  Click(w->RzBitBtn1);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(f->edtCombName->text(), QString());
  EXPECT_EQ(f->Cbbcate->currentText(), QStringLiteral("一般检查"));
}

TEST_F(TfrmCombItemTest, AddStartsUntickedAndSaveInsertsTheItemWithItsNode) {
  OpenWindow();
  Press(QStringLiteral("血脂"));
  Click(w->RzBitBtn1);
  EXPECT_EQ(f->edtCombName->text(), QString());
  EXPECT_EQ(QApplication::focusWidget(), f->edtCombName);
  EXPECT_EQ(Members().filter(QStringLiteral(":1")).size(), 0);
  // The ticks of the item shown before are not the new item's.
  EXPECT_EQ(Exclusions(), (QStringList{QStringLiteral("血脂:0"), QStringLiteral("肝功能:0"),
                                       QStringLiteral("肾功能:0")}));

  TypeInto(f->edtCombName, QStringLiteral("血脂全套"));
  FocusByMouse(f->edtSort);  // leaving the name proposes the mnemonic
  EXPECT_EQ(f->edtABForPY->text(), QStringLiteral("XZQT"));
  ClickCell(grid, RowOf(grid, TfamCombToItem::colItemName, QStringLiteral("血糖")),
            TfamCombToItem::colChecked);
  ClickCell(grid, RowOf(grid, TfamCombToItem::colItemName, QStringLiteral("肌酐")),
            TfamCombToItem::colChecked);
  ClickCell(w->tsgrdComb, 1, TfrmCombItem::colExcluded);  // 肝功能
  f->edtPrice->setText(QStringLiteral("60"));
  Click(w->RzBitBtn3);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(StoredNamed(u8"血脂全套"),
            Utf8(u8"血脂全套|1|1|检验科|000002;000001;|000012;|60.0|5|0"));
  EXPECT_EQ(ChildTexts(Category(0)).last(), QStringLiteral("血脂全套"));
  EXPECT_FALSE(f->edtCombCode->text().isEmpty());
  EXPECT_TRUE(TItemManager::Instance().Items().Contains(f->Item()));
  EXPECT_EQ(Members().filter(QStringLiteral(":1")).size(), 2);

  // Saving again updates; another combination item's name is refused, on a
  // rename as for a new item.
  Click(w->RzBitBtn3);
  EXPECT_TRUE(TPromptService::History().empty());
  f->edtCombName->setText(QStringLiteral("肝功能"));
  Click(w->RzBitBtn3);
  ASSERT_FALSE(TPromptService::History().empty());
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Warning);
  EXPECT_EQ(LastPrompt(),
            QStringLiteral("系统中已存在名为“肝功能”的组合项目，组合项目名称不能重复！"));
  EXPECT_EQ(db.QueryInt(u8"SELECT count(*) FROM TJItem WHERE ItemName = '肝功能'"), 1);
  // A combination item may share the name of the single item it wraps.
  Press(QStringLiteral("检验科"));
  Click(w->RzBitBtn1);
  f->edtCombName->setText(QStringLiteral("血糖"));  // a single item's name
  const long long rows = Rows();
  const size_t prompts = TPromptService::History().size();
  Click(w->RzBitBtn3);
  EXPECT_EQ(TPromptService::History().size(), prompts + 1);  // only the zero-price hint
  EXPECT_EQ(Rows(), rows + 1);
}

TEST_F(TfrmCombItemTest, AnotherCategoryListsOnlyItsItemsAndAnUnknownOneIsRefused) {
  OpenWindow();
  Press(QStringLiteral("血脂"));
  f->Cbbcate->setCurrentIndex(1);
  emit f->Cbbcate->activated(1);  // as the user's choice
  Settle();
  EXPECT_EQ(Members(), QStringList{QStringLiteral("身高:0")});
  EXPECT_EQ(Exclusions(), QStringList{QStringLiteral("体格检查:0")});
  EXPECT_EQ(QtText::ToQ(w->famCatetoCombTree->CurrentCategory()->CateName),
            QStringLiteral("一般检查"));
  ClickCell(grid, 0, TfamCombToItem::colChecked);
  Click(w->RzBitBtn3);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  // Members and exclusions of the old category are gone with it; the node
  // follows the item.
  EXPECT_EQ(Stored(10), Utf8(u8"血脂|1|2|一般检查|000004;||40.0|7|3"));
  EXPECT_EQ(ChildTexts(Category(1)),
            (QStringList{QStringLiteral("体格检查"), QStringLiteral("血脂")}));
  Press(QStringLiteral("血脂"));
  EXPECT_EQ(f->Cbbcate->currentText(), QStringLiteral("一般检查"));

  // Add in a category pressed in the tree lists that category's items, not
  // the ones listed before.
  Press(QStringLiteral("检验科"));
  Click(w->RzBitBtn1);
  EXPECT_EQ(Members().size(), 3);
  EXPECT_EQ(f->Cbbcate->currentText(), QStringLiteral("检验科"));
  Press(QStringLiteral("一般检查"));
  Click(w->RzBitBtn1);
  EXPECT_EQ(Members(), QStringList{QStringLiteral("身高:0")});

  // A typed name that names no category: nothing to list, nothing saved.
  Press(QStringLiteral("血脂"));
  f->Cbbcate->lineEdit()->clear();
  f->Cbbcate->setFocus();
  for (QChar c : QStringLiteral("无此类别"))  // typed key by key
    QTest::sendKeyEvent(QTest::Click, f->Cbbcate->lineEdit(), Qt::Key_unknown, QString(c),
                        Qt::NoModifier);
  Settle();
  EXPECT_EQ(grid->rowCount(), 0);
  Click(w->RzBitBtn3);
  EXPECT_EQ(LastShown(), Utf8(u8"没有名为“无此类别”的体检类别，请从列表中选择体检类别。"));
  EXPECT_EQ(Stored(10), Utf8(u8"血脂|1|2|一般检查|000004;||40.0|7|3"));
  EXPECT_EQ(QtText::ToQ(f->Item()->CateName), QStringLiteral("一般检查"));
}

TEST_F(TfrmCombItemTest, PriceZeroSavesAfterABoxAndABadOrNegativePriceWritesNothing) {
  OpenWindow();
  const long long rows = Rows();
  TypeInto(f->edtCombName, QStringLiteral("尿常规"));
  Click(w->RzBitBtn3);
  ASSERT_FALSE(TPromptService::History().empty());
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Information);
  EXPECT_EQ(TPromptService::History().back().Caption, QStringLiteral("提示"));
  EXPECT_EQ(LastPrompt(), QStringLiteral("提示：组合项目价格为0。"));
  EXPECT_EQ(QApplication::focusWidget(), f->edtPrice);
  EXPECT_EQ(Rows(), rows + 1);
  EXPECT_EQ(StoredNamed(u8"尿常规"), Utf8(u8"尿常规|1|1|检验科|||0.0|5|0"));

  Press(QStringLiteral("检验科"));
  Click(w->RzBitBtn1);
  f->edtCombName->setText(QStringLiteral("乙肝两对半"));
  f->edtPrice->setText(QStringLiteral("十元"));
  Click(w->RzBitBtn3);
  EXPECT_EQ(LastShown(), Utf8(u8"单价“十元”不是有效的数字。"));
  f->edtPrice->setText(QStringLiteral("-5"));
  Click(w->RzBitBtn3);
  EXPECT_EQ(LastShown(), Utf8(u8"单价不能为负数！"));
  EXPECT_EQ(Rows(), rows + 1);
  EXPECT_EQ(f->edtCombCode->text(), QString());

  // Leaving the field for another field catches it at once.
  TypeInto(f->edtPrice, QStringLiteral("abc"));
  FocusByMouse(f->edtABForWB);
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Error);
  EXPECT_EQ(LastPrompt(),
            QStringLiteral("对不起，您输入的价格信息格式有误请修改后再进行下一步操作！"));
  EXPECT_EQ(QApplication::focusWidget(), f->edtPrice);
}

TEST_F(TfrmCombItemTest, DeleteAsksNamingTheItemAndRemovesOnlyWhatItNames) {
  OpenWindow();
  Click(w->RzBitBtn4);  // a new item: nothing stored, nothing asked
  EXPECT_TRUE(TPromptService::History().empty());

  Press(QStringLiteral("肝功能"));
  TBaseItem* liver = f->Item();
  TPromptService::SetNextAnswer(TPromptAnswer::No);
  Click(w->RzBitBtn4);
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Confirmation);
  EXPECT_EQ(LastPrompt(), QStringLiteral("是否要删除名称为[肝功能]的组合项目！\n000012　肝功能"));
  EXPECT_EQ(db.QueryInt(u8"SELECT count(*) FROM TJItem WHERE ItemID = 12"), 1);
  EXPECT_NE(Node(QStringLiteral("肝功能")), nullptr);
  EXPECT_EQ(f->edtCombName->text(), QStringLiteral("肝功能"));

  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  Click(w->RzBitBtn4);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(db.QueryInt(u8"SELECT count(*) FROM TJItem WHERE ItemID = 12"), 0);
  EXPECT_EQ(ChildTexts(Category(0)),
            (QStringList{QStringLiteral("肾功能"), QStringLiteral("血脂")}));
  EXPECT_FALSE(TItemManager::Instance().Items().Contains(liver));
  EXPECT_EQ(w->famCatetoCombTree->ClickedNode(), nullptr);
  EXPECT_EQ(w->famCatetoCombTree->CurrentCombItem(), nullptr);
  EXPECT_EQ(tree->currentItem(), Category(0));  // no neighbour looks edited
  EXPECT_EQ(f->edtCombCode->text(), QString());
  EXPECT_EQ(Exclusions(), (QStringList{QStringLiteral("血脂:0"), QStringLiteral("肾功能:0")}));

  // A combination a check set holds is refused; the node stays.
  Press(QStringLiteral("血脂"));
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  Click(w->RzBitBtn4);
  EXPECT_EQ(TPromptService::History().back().Kind, TPromptKind::Warning);
  EXPECT_EQ(LastPrompt(), QStringLiteral("引用项目不能被删除!\r\n被套餐“入职套餐”使用"));
  EXPECT_EQ(db.QueryInt(u8"SELECT count(*) FROM TJItem WHERE ItemID = 10"), 1);
  EXPECT_NE(Node(QStringLiteral("血脂")), nullptr);
  EXPECT_EQ(f->edtCombName->text(), QStringLiteral("血脂"));
}

TEST_F(TfrmCombItemTest, TickedRowsWhoseItemsWereDeletedElsewhereRefuseTheSave) {
  db.Exec(
      u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, CateId, CateName) "
      u8"VALUES (5, '000005', '尿酸', 0, 1, '检验科')");
  OpenWindow();
  Press(QStringLiteral("血脂"));
  // Other windows delete an item and a combination item this one lists.
  auto* combinations = Open<TfrmCombItem>();
  QTreeWidget* combTree = combinations->famCatetoCombTree->CateToCombTree;
  ClickNode(combTree, combTree->findItems(QStringLiteral("肝功能"),
                                          Qt::MatchExactly | Qt::MatchRecursive)[0]);
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  combinations->RzBitBtn4Click();
  auto* items = Open<TfrmItemEdit>();
  QTreeWidget* itemTree = items->famCateToItemTree->chkCateTree;
  ClickNode(itemTree,
            itemTree->findItems(QStringLiteral("尿酸"), Qt::MatchExactly | Qt::MatchRecursive)[0]);
  TPromptService::SetNextAnswer(TPromptAnswer::Yes);
  items->btnDeleteClick();
  ASSERT_EQ(db.QueryInt(u8"SELECT count(*) FROM TJItem WHERE ItemID IN (5, 12)"), 0);
  ASSERT_TRUE(app.Shown.empty()) << LastShown();
  const std::string before = Stored(10);

  ClickCell(grid, RowOf(grid, TfamCombToItem::colItemName, QStringLiteral("尿酸")),
            TfamCombToItem::colChecked);
  ClickCell(grid, RowOf(grid, TfamCombToItem::colItemName, QStringLiteral("血糖")),
            TfamCombToItem::colChecked);
  Click(w->RzBitBtn3);
  EXPECT_EQ(LastShown(), Utf8(u8"项目[尿酸]已被删除，不能再作为组合项目的成员，请取消它的选择！\r\n"
                              u8"保存组合项目[血脂]的详细信息出现异常!"));
  EXPECT_EQ(Stored(10), before);
  EXPECT_EQ(f->Item()->GetItemsString(), "000002;000003;");

  ClickCell(grid, RowOf(grid, TfamCombToItem::colItemName, QStringLiteral("尿酸")),
            TfamCombToItem::colChecked);
  ClickCell(w->tsgrdComb,
            RowOf(w->tsgrdComb, TfrmCombItem::colExcludeName, QStringLiteral("肝功能")),
            TfrmCombItem::colExcluded);
  Click(w->RzBitBtn3);
  EXPECT_EQ(LastShown(), Utf8(u8"组合项目[肝功能]已被删除，不能再被排除，请取消它的选择！"));
  EXPECT_EQ(Stored(10), before);
  EXPECT_EQ(f->Item()->GetItemsString(), "000002;000003;");
}

TEST_F(TfrmCombItemTest, ANameWithAQuoteSavesAndShowsBackUnchanged) {
  OpenWindow();
  const QString name = QStringLiteral("O'Brien 组合 \"双\"");
  f->edtCombName->setText(name);
  f->edtPrice->setText(QStringLiteral("12.5"));
  Click(w->RzBitBtn3);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(db.QueryText(u8"SELECT ItemName FROM TJItem WHERE ItemID = 21"),
            Utf8(u8"O'Brien 组合 \"双\""));
  Press(QStringLiteral("血脂"));
  Press(name);
  EXPECT_EQ(f->edtCombName->text(), name);
  EXPECT_EQ(f->edtPrice->text(), QStringLiteral("12.5"));
  // Longer than the column (100 GBK bytes) cannot be typed in.
  f->edtCombName->clear();
  f->edtCombName->insert(QString(51, QChar(0x4E00)));
  EXPECT_EQ(f->edtCombName->text(), QString());
}

TEST_F(TfrmCombItemTest, ButtonsFollowTheirRightsAndHandlersCheckThemAgain) {
  host.User.UserName.reset();
  host.User.Rights = {{"tjxt203005"}};
  OpenWindow();
  EXPECT_EQ(w->pmCombItemSave->FunctionCode, "TJXT203005");
  EXPECT_EQ(w->pmCombItemSave->text(), QStringLiteral("保存(&C)"));
  EXPECT_EQ(w->pmCombItemCancel->FunctionCode, "TJXT203004");
  EXPECT_TRUE(w->RzBitBtn3->isEnabled());
  for (QPushButton* b : {w->RzBitBtn1, w->RzBitBtn2, w->RzBitBtn4, w->RzBitBtn5, w->RzBitBtn6})
    EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  EXPECT_TRUE(w->RzBitBtn8->isEnabled());  // exit has no right to follow
  try {
    w->RunCommand(w->RzBitBtn6);
    ADD_FAILURE() << "uncheck all ran without its right";
  } catch (const std::exception& error) {
    EXPECT_EQ(QtText::ToQ(error.what()),
              QStringLiteral("您没有“全不选”的权限（功能号 TJXT203007），请与管理员联系！"));
  }
}

TEST_F(TfrmCombItemTest, EnterFollowsTheFillingOrderAndTabReachesTheChosenRadioButton) {
  OpenWindow();
  const std::vector<QWidget*> order = {f->edtCombName,    f->edtSort,       f->edtPrice,
                                       f->edtABForPY,     f->edtABForWB,    f->edtCustom,
                                       f->combChargeType, f->combSampleType};
  f->Cbbcate->setFocus(Qt::TabFocusReason);
  for (QWidget* next : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), next->focusProxy() ? next->focusProxy() : next)
        << next->objectName().toStdString();
  }
  // Tab: sample type, then the chosen buttons of the two radio groups.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), f->radIsSecCheck->Button(f->radIsSecCheck->ItemIndex()));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(),
            f->radIsHaveExamProcess->Button(f->radIsHaveExamProcess->ItemIndex()));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);  // the arrows choose
  EXPECT_EQ(f->radIsHaveExamProcess->ItemIndex(), 0);
  EXPECT_EQ(QApplication::focusWidget(), f->radIsHaveExamProcess->Button(0));
  // Enter in a field outside the chain moves on; on a button it presses it.
  f->cbbSampleGroup->setFocus(Qt::TabFocusReason);
  QTest::keyClick(f->cbbSampleGroup, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f->combSampleType);
  w->RzBitBtn5->setFocus(Qt::TabFocusReason);
  QTest::keyClick(w->RzBitBtn5, Qt::Key_Return);
  EXPECT_EQ(Members().filter(QStringLiteral(":1")).size(), 3);
  // Backwards past the disabled code field to the category, then into "启用".
  f->edtCombName->setFocus(Qt::TabFocusReason);
  QTest::keyClick(f->edtCombName, Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), f->Cbbcate);
  QTest::keyClick(f->Cbbcate, Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), f->radIsInuse->Button(0));
}

TEST_F(TfrmCombItemTest, AWindowWhoseDataCannotBeReadDoesNotStayOpen) {
  db.Exec(u8"DROP TABLE TJItem");
  try {
    OpenWindow();
    ADD_FAILURE() << "the window must not open";
  } catch (const Exception& e) {
    EXPECT_EQ(GbkText::ToUtf8(e.Message()),
              Utf8(u8"读取体检类别和组合项目失败，组合项目设置窗口不能使用。\r\n"
                   u8"原因：no such table: TJItem"));
  }
  Settle();
  EXPECT_TRUE(host.Area()->subWindowList().isEmpty());
}

TEST_F(TfrmCombItemTest, WithoutCategoriesTheTreeAndTheEditorStayEmpty) {
  // Items left without their categories (the schema normally refuses this).
  db.Exec(u8"DROP TRIGGER TR_TJCategories_KeepReferenced; DELETE FROM TJCategories");
  OpenWindow();
  EXPECT_EQ(tree->topLevelItemCount(), 0);
  EXPECT_EQ(f->Item(), nullptr);
  EXPECT_EQ(grid->rowCount(), 0);
  const long long rows = Rows();
  Click(w->RzBitBtn3);
  EXPECT_EQ(LastShown(), Utf8(u8"当前没有要保存的信息!"));
  Click(w->RzBitBtn1);
  EXPECT_EQ(LastShown(), Utf8(u8"请选择组合项目的类别！"));
  Click(w->RzBitBtn4);
  EXPECT_EQ(app.Shown.size(), 2u);
  EXPECT_EQ(Rows(), rows);
}

namespace {

// The exclusion rows come from the database and so does their check: a
// combination item another desk added may be excluded; after a hide and
// show the new item starts without the ticks of the item shown before.
TEST_F(TfrmCombItemTest, ExclusionsFollowTheDatabaseAndBelongToTheItemShown) {
  OpenWindow();
  db.Exec(
      u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, CateId, CateName, UnitPrice) "
      u8"VALUES (90, '000090', '血脂四项', 1, 1, '检验科', 10)");
  Press(QStringLiteral("血脂"));
  const int row = RowOf(w->tsgrdComb, TfrmCombItem::colExcludeName, QStringLiteral("血脂四项"));
  ASSERT_GE(row, 0);
  ClickCell(w->tsgrdComb, row, TfrmCombItem::colExcluded);
  Click(w->RzBitBtn3);
  EXPECT_TRUE(app.Shown.empty()) << LastShown();
  EXPECT_EQ(db.QueryText(u8"SELECT ExcludeItems FROM TJItem WHERE ItemID = 10"), "1000012;000090;");

  w->Frame()->hide();
  w->Frame()->show();
  Settle();
  EXPECT_EQ(f->edtCombName->text(), QString());
  EXPECT_TRUE(Exclusions().filter(QStringLiteral(":1")).isEmpty())
      << Exclusions().join(u' ').toStdString();
}

}  // namespace
