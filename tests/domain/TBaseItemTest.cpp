#include <memory>
#include <thread>

#include "DomainTest.h"
#include "Exceptions.h"
#include "TCategory.h"
#include "TCombItem.h"
#include "TDBObjectList.h"
#include "TItem.h"

namespace {

class TBaseItemTest : public DomainTest {
 protected:
  std::unique_ptr<TItem> NewItem(const std::string& name) {
    auto item = std::make_unique<TItem>(pool_);
    item->ItemName = name;
    return item;
  }
};

TESMIRA_ALL_BACKENDS(TBaseItemTest);

TEST_P(TBaseItemTest, SaveInsertsEveryColumnThenUpdates) {
  auto item = NewItem("血糖");
  item->AbForPY = "XT";
  item->ItemUnit = "mmol/L";
  item->ResultType = 1;
  item->LowerLimit = "3.9";
  item->UpLimit = "6.1";
  item->UnitPrice = 12.5;
  item->IsInUse = true;
  item->Sex = "不限";
  EXPECT_EQ(item->Save(), 2);
  EXPECT_EQ(item->ItemID, 1);
  EXPECT_EQ(item->ItemCode, "000001");

  auto reread = std::make_unique<TItem>(pool_);
  reread->ItemID = 1;
  ASSERT_EQ(reread->Find(), 0);
  EXPECT_EQ(reread->ItemName, "血糖");
  EXPECT_EQ(reread->Sex, "不限");
  EXPECT_EQ(reread->ItemUnit, "mmol/L");
  EXPECT_DOUBLE_EQ(reread->UnitPrice, 12.5);
  EXPECT_TRUE(reread->IsInUse);

  item->ItemUnit = "mg/dL";
  EXPECT_EQ(item->Save(), 3);
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem"), 1);
  EXPECT_EQ(db_.QueryText("SELECT ItemUnit FROM TJItem"), "mg/dL");
}

TEST_P(TBaseItemTest, CodesFollowTheLargestExistingCode) {
  AddItemRow(41, "000123", 0, "a");
  auto item = NewItem("b");
  item->Save();
  EXPECT_EQ(item->ItemID, 42);
  EXPECT_EQ(item->ItemCode, "000124");
  db_.Exec("UPDATE TJItem SET ItemCode = '999999' WHERE ItemID = 41");
  auto big = NewItem("c");
  big->Save();
  EXPECT_EQ(big->ItemCode, "1000000");
}

TEST_P(TBaseItemTest, ValidationChecksTheNameThenTheUpperThenTheLowerLimit) {
  auto item = NewItem("");
  EXPECT_EQ(MessageOf<ETJItemException>([&] { item->Save(); }), "项目名称不能为空！");
  item->ItemName = "血常规";
  item->ResultType = 1;
  EXPECT_EQ(MessageOf<ETJItemException>([&] { item->Save(); }),
            "结果类型为[数值类型]，上限不能为空！");
  item->UpLimit = " ";  // blanks are content
  EXPECT_EQ(MessageOf<ETJItemException>([&] { item->Save(); }),
            "结果类型为[数值类型]，下限不能为空！");
  EXPECT_EQ(item->ItemID, 0);
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem"), 0);
  item->ResultType = 0;  // a text item needs no limits
  item->UpLimit.clear();
  EXPECT_EQ(MessageOf<ETJItemException>([&] { item->Save(); }), "(no error)");
}

TEST_P(TBaseItemTest, AFailedInsertLeavesTheItemNew) {
  db_.RefuseWrites("TJItem", "INSERT");
  auto item = NewItem("身高体重");
  EXPECT_THROW(item->Save(), std::exception);
  EXPECT_EQ(item->ItemID, 0);
  EXPECT_EQ(item->ItemCode, "");
  db_.AllowWrites("TJItem", "INSERT");
  EXPECT_EQ(item->Save(), 2);
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem"), 1);
}

// Two desks saving at the same moment draw the same largest + 1; the
// database refuses the second row for its key or code, and that insert draws
// again. Every row is stored with a key and a code of its own, and no error
// reaches the desk.
TEST_P(TBaseItemTest, TwoDesksSavingAtOnceEachKeepEveryItemAndCategory) {
  std::string errors[2];
  auto desk = [&](int number) {
    try {
      for (int i = 0; i < 200; ++i) {
        TItem item(pool_);
        item.ItemName = "desk " + std::to_string(number) + " item " + std::to_string(i);
        ASSERT_EQ(item.Save(), 2);
        if (i % 10 != 0) continue;
        TCategory category(pool_);
        category.CateName = "desk " + std::to_string(number) + " category " + std::to_string(i);
        ASSERT_EQ(category.Save(), 2);
      }
    } catch (const std::exception& e) {
      errors[number] = e.what();
    }
  };
  std::thread first(desk, 0), second(desk, 1);
  first.join();
  second.join();
  EXPECT_EQ(errors[0], "");
  EXPECT_EQ(errors[1], "");
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem"), 400);
  EXPECT_EQ(db_.QueryInt("SELECT count(DISTINCT ItemCode) FROM TJItem"), 400);
  EXPECT_EQ(db_.QueryInt("SELECT max(ItemID) FROM TJItem"), 400);
  EXPECT_EQ(db_.QueryInt("SELECT count(DISTINCT CateCode) FROM TJCategories"), 40);
  EXPECT_EQ(db_.QueryInt("SELECT max(CateID) FROM TJCategories"), 40);
}

// A drawn code that stays taken however often it is drawn again ('4 ' is
// the largest text, so the draw gives 000005 every time): the insert gives up
// after its bounded retries and says why, in Chinese, with the database's
// refusal after it.
TEST_P(TBaseItemTest, AnInsertWhoseCodeStaysTakenGivesUpAndSaysWhy) {
  AddItemRow(1, "000005", 0, "a");
  AddItemRow(2, "4 ", 0, "b");
  auto item = NewItem("c");
  const std::string message = MessageOf([&] { item->Save(); });
  const std::string why = "其他用户同时保存，编号冲突，重试20次后仍未保存成功！\r\n";
  EXPECT_EQ(message.rfind(why, 0), 0u) << message;
  EXPECT_GT(message.size(), why.size());
  EXPECT_EQ(item->ItemID, 0);
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem"), 2);
}

TEST_P(TBaseItemTest, QuotedTextIsStoredReloadedAndFoundUnchanged) {
  auto item = NewItem("O'Brien 血糖");
  item->NaturalResult = "'normal'";
  item->Save();
  item->Remark = "not stored";
  item->HintForUpper = "偏高↑";
  item->Save();
  EXPECT_EQ(db_.QueryText("SELECT ItemName FROM TJItem"), U8(u8"O'Brien 血糖"));

  auto reader = NewItem("O'Brien 血糖");
  EXPECT_TRUE(reader->NameExists("O'Brien 血糖"));
  EXPECT_FALSE(reader->NameExists("x' OR '1'='1"));
  ASSERT_EQ(reader->Find(), 0);
  EXPECT_EQ(reader->NaturalResult, "'normal'");
  EXPECT_EQ(reader->HintForUpper, "偏高↑");
}

TEST_P(TBaseItemTest, FindTakesTheCodeThenTheIdThenTheName) {
  AddItemRow(1, "000001", 0, "one");
  AddItemRow(2, "000002", 0, "two");
  auto item = std::make_unique<TItem>(pool_);
  item->ItemCode = "000002";
  item->ItemID = 1;
  item->ItemName = "one";
  ASSERT_EQ(item->Find(), 0);
  EXPECT_EQ(item->ItemName, "two");
  item->ItemCode.clear();
  item->ItemID = 1;
  item->Find();
  EXPECT_EQ(item->ItemName, "one");
  item->ItemCode = "000404";
  EXPECT_EQ(item->Find(), -1);
  EXPECT_EQ(item->ItemName, "one");

  auto empty = std::make_unique<TItem>(pool_);
  EXPECT_EQ(MessageOf<ETJItemException>([&] { empty->Find(); }), "查询条件不正确");
}

TEST_P(TBaseItemTest, DisplayOrderAndLookupQueries) {
  auto item = NewItem("x");
  EXPECT_EQ(item->NextDispOrder(5), 0);
  EXPECT_EQ(item->NextCheckSetDispOrder(), 0);
  AddItemRow(1, "000001", 0, "a", "", 5, 7);
  AddItemRow(2, "000002", 2, "set", "", 6, 3);
  EXPECT_EQ(item->NextDispOrder(5), 8);
  EXPECT_EQ(item->NextCheckSetDispOrder(), 4);

  db_.Exec(U8(u8"INSERT INTO TJSampleType (SampleTypeID, SampleTypeName) VALUES (3, '血清')"));
  item->SampleTypeID = 3;
  EXPECT_EQ(item->GetSampleTypeName(), "血清");
  item->SampleTypeID = 4;
  EXPECT_EQ(item->GetSampleTypeName(), "");
}

TEST_P(TBaseItemTest, LoadListMakesPlainItemsUpToTheLimit) {
  for (int id = 1; id <= 4; ++id) AddItemRow(id, "00000" + std::to_string(id), id % 2, "n");
  auto query = std::make_unique<TCombItem>(pool_);
  TDBObjectList list;
  list.Add(new TItem(pool_));  // cleared first
  query->LoadList("1=1", list, 2);
  ASSERT_EQ(list.Count(), 2);
  auto* first = list.ItemAs<TBaseItem>(0);
  EXPECT_EQ(typeid(*first), typeid(TBaseItem));
  EXPECT_EQ(first->ItemType, 0);  // ordered by kind, then name
  query->LoadList("ItemType = 1", list, -1);
  EXPECT_EQ(list.Count(), 2);
}

// The rows of a list are bound to the database only when first used, and
// share their class's query texts until one of them is given its own.
TEST_P(TBaseItemTest, RowsOfAListWriteReadAndKeepTheirOwnQueryTexts) {
  AddItemRow(1, "000001", 0, U8(u8"甲"));
  AddItemRow(2, "000002", 0, U8(u8"乙"));
  auto query = std::make_unique<TBaseItem>(pool_);
  TDBObjectList list(true);
  query->LoadList("1=1", list, -1);
  ASSERT_EQ(list.Count(), 2);
  auto* first = list.ItemAs<TBaseItem>(0);
  auto* second = list.ItemAs<TBaseItem>(1);

  first->SetOrderBy("ItemCode DESC");
  second->SetWhere("");
  EXPECT_EQ(first->GetOrderBy(), "ItemCode DESC");
  EXPECT_EQ(second->GetOrderBy(), "ItemType, ItemName ASC");
  EXPECT_EQ(first->GetWhere(), "1=1");
  EXPECT_EQ(second->GetWhere(), "");
  EXPECT_EQ(query->GetTableName(), "TJItem");
  EXPECT_EQ(second->GetIdentitySQL(), "SELECT @@IDENTITY AS IdentityID");

  // Its first statement binds the row: a save, then a read of another row
  // through the query object, whose set the list load has let go.
  first->ItemUnit = "g/L";
  EXPECT_EQ(first->Save(), 3);
  EXPECT_EQ(db_.QueryText("SELECT ItemUnit FROM TJItem WHERE ItemID = 1"), "g/L");
  second->ItemCode = "000001";
  ASSERT_EQ(second->Find(), 0);
  EXPECT_EQ(second->ItemName, "甲");
  EXPECT_EQ(second->ItemUnit, "g/L");
  query->ItemID = 2;
  ASSERT_EQ(query->Find(), 0);
  EXPECT_EQ(query->ItemName, "乙");
}

TEST_P(TBaseItemTest, DeleteIsRefusedWhileAComboUsesTheItem) {
  AddItemRow(1, "000001", 0, "member");
  AddItemRow(2, "000002", 1, "combo", "000001;");
  TItemManager& catalogue = TItemManager::Instance();
  TBaseItem* member = catalogue.FindItem("000001");
  TBaseItem* combo = catalogue.FindItem("000002");
  combo->LoadItems();
  // The database names who uses it, on a line of its own.
  EXPECT_EQ(MessageOf<ETJItemException>([&] { member->Delete(); }),
            "引用项目不能被删除!\r\n被组合项目“combo”使用");
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem"), 2);

  // Deleting the combination frees its members.
  EXPECT_EQ(combo->Delete(), 0);
  catalogue.RemoveItem(combo);
  delete combo;
  EXPECT_FALSE(member->IsReferenced());
  member->Delete();
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem"), 0);
}

TEST_P(TBaseItemTest, FillCategoryAddsTheCatalogueEntriesOfOneKind) {
  AddItemRow(1, "000001", 0, "a", "", 3);
  AddItemRow(2, "000002", 1, "b", "", 3);
  AddItemRow(3, "000003", 0, "c", "", 4);
  AddItemRow(4, "000004", 0, "d", "", 3);
  TCategory category(pool_);
  category.CateID = 3;
  TItemManager::Instance().FillCategory(&category, 0);
  ASSERT_EQ(category.Items().Count(), 2);
  EXPECT_EQ(category.GetItem(0)->ItemCode, "000001");
  EXPECT_EQ(category.GetItem(1)->ItemCode, "000004");
  TItemManager::Instance().FillCategory(&category, 1);
  ASSERT_EQ(category.Items().Count(), 1);
  EXPECT_EQ(category.GetItem(0)->ItemCode, "000002");
}

TEST_P(TBaseItemTest, AssignCopiesTheColumnsAndSharesTheMembers) {
  db_.Exec(U8(u8"INSERT INTO TJSampleType (SampleTypeID, SampleTypeName) VALUES (2, '全血')"));
  AddItemRow(1, "000001", 0, "member");
  AddItemRow(2, "000002", 1, "combo", "000001;");
  AddItemRow(3, "000003", 2, "set", "000002;");
  TItemManager& catalogue = TItemManager::Instance();
  catalogue.LoadItems();
  TBaseItem* combo = catalogue.FindItem("000002");
  combo->SampleTypeID = 2;
  combo->Remark = "r";

  TCombItem copy(pool_);
  copy.Assign(combo);  // the combo's member knows the combo: must not recurse
  EXPECT_EQ(copy.ItemName, "combo");
  EXPECT_EQ(copy.Remark, "r");
  EXPECT_EQ(copy.SampleTypeName, "全血");
  EXPECT_EQ(copy.GetItemsString(), "000001;");
  ASSERT_EQ(copy.Items().Count(), 1);
  EXPECT_EQ(copy.GetItem(0), catalogue.FindItem("000001"));
  EXPECT_EQ(copy.UsedBy().Count(), 1);
  EXPECT_FALSE(copy.ItemsLoaded());
}

TEST_P(TBaseItemTest, TheCatalogueIsReachedThroughInstanceOnly) {
  EXPECT_EQ(MessageOf<Exception>([&] { TItemManager direct; }),
            "Access class TItemManager through Instance only");
  EXPECT_EQ(MessageOf<Exception>([&] { TItemManager::AccessInstance(5); }),
            "Illegal request 5 in AccessInstance");
  EXPECT_EQ(TItemManager::AccessInstance(0), nullptr);
  TItemManager* made = &TItemManager::Instance();
  EXPECT_EQ(TItemManager::AccessInstance(0), made);
}

}  // namespace
