#include <QAbstractItemModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "ScreenTest.h"
#include "TCatalogueFollower.h"
#include "TItemManager.h"
#include "TPromptService.h"
#include "TfamCateToItemTree.h"
#include "TfamCatetoCombTree.h"
#include "TfamCheckSetItem.h"
#include "TfamCombItem.h"
#include "TfamCombToItem.h"
#include "TfamItem.h"
#include "TfamSelCombItem.h"
#include "TfrmCheckSet.h"
#include "TfrmCombItem.h"
#include "TfrmItemEdit.h"

namespace {

QTreeWidgetItem* NodeNamed(QTreeWidget* tree, const QString& name) {
  const auto found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.first();
}

class OtherDesksTest : public ScreenTest {
 protected:
  // What another desk running the library does: its writes, then the raise
  // of the catalogue's change stamp in the same breath.
  void OtherDeskWrites(const std::u8string& sql) {
    db.Exec(sql);
    db.Exec(u8"UPDATE TJCatalogueVersion SET Version = Version + 1");
  }
  QStringList ChildrenOf(QTreeWidget* tree, const QString& category) {
    QTreeWidgetItem* node = NodeNamed(tree, category);
    return node ? ChildTexts(node) : QStringList();
  }
};

// Writes of another desk reach an open window on F5 (and on activation): a
// renamed, a new and a deleted item; the entry on screen keeps what the user
// sees, so its save is still refused instead of overwriting the other desk.
TEST_F(OtherDesksTest, F5CatchesUpOtherDesksAndTheEntryOnScreenIsNotOverwritten) {
  LoadDemoData();
  auto* w = Open<TfrmItemEdit>();
  QTreeWidget* tree = w->famCateToItemTree->chkCateTree;
  // A save of this window first: its own raise of the stamp is no reason
  // to read the catalogue again.
  ClickNode(tree, NodeNamed(tree, QStringLiteral("体重")));
  TypeInto(w->famItem->edtUnit, QStringLiteral("千克"));
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  Settle();
  ASSERT_EQ(db.QueryText("SELECT ItemUnit FROM TJItem WHERE ItemID = 2"), Utf8(u8"千克"));
  EXPECT_FALSE(TCatalogueFollower::CatchUpWithOtherDesks());

  ClickNode(tree, NodeNamed(tree, QStringLiteral("身高")));
  TBaseItem* shown = w->famItem->Item();
  ASSERT_NE(shown, nullptr);
  OtherDeskWrites(
      u8"UPDATE TJItem SET ItemName = '体重（公斤）' WHERE ItemID = 2; "
      u8"UPDATE TJItem SET UnitPrice = 7 WHERE ItemID = 1; "
      u8"DELETE FROM TJItem WHERE ItemID = 3; "
      u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, CateId, CateName, ItemType, ItemsString, "
      u8"UnitPrice, ResultType, SampleTypeID, SampleGroupID, IsInUse, IsRePorted, IsSecCheck, "
      u8"IsHaveExamProcess, IsInstrument, DispOrder, CheckOrder) SELECT 500, '000500', '腰围', "
      u8"CateId, CateName, 0, '', 0, 1, 0, 0, 1, 0, 0, 1, 0, 9, 0 FROM TJItem WHERE ItemID = 1");
  TypeInto(w->famItem->edtItemName, QStringLiteral("身高（厘米）"));

  QTest::keyClick(w, Qt::Key_F5);
  Settle();
  const QStringList shownItems = ChildrenOf(tree, QStringLiteral("一般检查"));
  EXPECT_TRUE(shownItems.contains(QStringLiteral("体重（公斤）")))
      << shownItems.join(u',').toStdString();
  EXPECT_TRUE(shownItems.contains(QStringLiteral("腰围")));
  EXPECT_FALSE(shownItems.contains(QStringLiteral("体重指数")));
  EXPECT_NE(TItemManager::Instance().FindItem("000500"), nullptr);
  EXPECT_EQ(TItemManager::Instance().FindItem("000003"), nullptr);
  // The entry on screen: what the user typed stays, the row's new price is
  // not slipped under it.
  EXPECT_EQ(w->famItem->Item(), shown);
  EXPECT_EQ(w->famItem->edtItemName->text(), QStringLiteral("身高（厘米）"));

  TPromptService::ClearHistory();
  QTest::mouseClick(w->btnSave, Qt::LeftButton);
  Settle();
  EXPECT_EQ(db.QueryText("SELECT ItemName FROM TJItem WHERE ItemID = 1"), Utf8(u8"身高"));
  EXPECT_EQ(db.QueryInt("SELECT CAST(UnitPrice AS INTEGER) FROM TJItem WHERE ItemID = 1"), 7);
  ASSERT_FALSE(TPromptService::History().empty());
  EXPECT_TRUE(TPromptService::History().back().Text.contains(QStringLiteral("没有保存的内容")));
  // Nothing new since: the check is one query and reads nothing again.
  EXPECT_FALSE(TCatalogueFollower::CatchUpWithOtherDesks());
}

// A press on a stored combination whose read fails leaves both frames on
// the new entry they showed, which is still alive (no frame keeps a freed
// entry); once the database answers again the press works.
TEST_F(OtherDesksTest, AFailedShowLeavesBothFramesOnTheEntryTheyShowed) {
  LoadDemoData();
  auto* w = Open<TfrmCombItem>();
  QTreeWidget* tree = w->famCatetoCombTree->CateToCombTree;
  ClickNode(tree, tree->topLevelItem(0));
  QTest::mouseClick(w->RzBitBtn1, Qt::LeftButton);  // 增加
  Settle();
  TBaseItem* fresh = w->famCombItem->Item();
  ASSERT_NE(fresh, nullptr);
  ASSERT_TRUE(fresh->ItemCode.empty());
  w->famCombItem->edtCombName->setText(QStringLiteral("未保存的组合"));

  db.Exec(u8"ALTER TABLE TJItem RENAME TO TJItemAway");
  ClickNode(tree, NodeNamed(tree, QStringLiteral("血常规")));
  db.Exec(u8"ALTER TABLE TJItemAway RENAME TO TJItem");
  EXPECT_EQ(w->famCombItem->Item(), fresh);
  EXPECT_EQ(w->famCombToItem->Item(), fresh);
  EXPECT_TRUE(w->famCombItem->Item()->ItemCode.empty());  // read through the pointer: alive

  ClickNode(tree, NodeNamed(tree, QStringLiteral("血常规")));
  ASSERT_NE(w->famCombItem->Item(), nullptr);
  EXPECT_EQ(w->famCombItem->Item()->ItemName,
            TItemManager::Instance().FindItem("000069")->ItemName);
  EXPECT_EQ(w->famCombToItem->Item(), w->famCombItem->Item());
}

}  // namespace

// The check set window takes its candidates from the catalogue instead of
// reading TJItem a second time; a catalogue another window read before is
// caught up first, so an item another desk added since is offered.
TEST_F(OtherDesksTest, TheCheckSetWindowOffersWhatAnotherDeskAddedBeforeItOpened) {
  LoadDemoData();
  TItemManager::Instance();  // read by a window opened earlier
  OtherDeskWrites(
      u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, ItemType, CateID, CateName, IsInUse) "
      u8"VALUES (9001, '900001', '新到项目', 0, 1, '一般检查', 1)");
  auto* w = Open<TfrmCheckSet>();
  QTest::mouseClick(w->famCheckSetItem->btnAdd, Qt::LeftButton);
  Settle();
  QAbstractItemModel* notChosen = w->famSelCombItem->lstNotChoseCombItem->model();
  QStringList names;
  for (int row = 0; row < notChosen->rowCount(); ++row)
    names << notChosen->index(row, 0).data().toString();
  EXPECT_TRUE(names.contains(QStringLiteral("新到项目"))) << names.join(u' ').toStdString();
  EXPECT_FALSE(names.isEmpty());
  for (int row = 0; row < notChosen->rowCount(); ++row)
    EXPECT_NE(w->famSelCombItem->CandidateAt(w->famSelCombItem->lstNotChoseCombItem, row)->ItemType,
              2);
}
