#include <memory>

#include "DomainTest.h"
#include "Exceptions.h"
#include "TDBObjectList.h"
#include "TSfChargeItem.h"

namespace {

class TSfChargeItemTest : public DomainTest {
 protected:
  void AddRow(const std::string& code, const std::string& utf8Name) {
    db_.Exec("INSERT INTO sfChargeItem (ItemCode, ItemName) VALUES ('" + code + "', '" + utf8Name +
             "')");
  }
};

TESMIRA_ALL_BACKENDS(TSfChargeItemTest);

TEST_P(TSfChargeItemTest, UpdatesAddressTheRowByItsLastSavedCode) {
  AddRow("A01", U8(u8"体检费"));
  TSfChargeItem query(pool_);
  TDBObjectList list;
  query.LoadList("1=1", list, -1);
  ASSERT_EQ(list.Count(), 1);
  auto* item = list.ItemAs<TSfChargeItem>(0);
  EXPECT_EQ(item->OldItemCode, "A01");

  item->ItemCode = "A02";
  item->UnitPrice = 8;
  item->Update();
  EXPECT_EQ(db_.QueryText("SELECT ItemCode FROM sfChargeItem"), "A02");
  EXPECT_EQ(db_.QueryInt("SELECT CAST(UnitPrice * 100 AS INTEGER) FROM sfChargeItem"), 800);
  EXPECT_EQ(item->OldItemCode, "A02");
  item->ItemName = "second";
  item->Update();
  EXPECT_EQ(db_.QueryText("SELECT ItemName FROM sfChargeItem WHERE ItemCode = 'A02'"), "second");

  AddRow("B01", "other");
  item->ItemCode = "B01";  // taken: the update fails and keeps addressing A02
  EXPECT_EQ(MessageOf([&] { item->Update(); }).rfind("更新收费项目信息出现错误!\r\n", 0), 0u);
  EXPECT_EQ(item->OldItemCode, "A02");
  item->ItemCode = "A03";
  item->Update();
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM sfChargeItem WHERE ItemCode = 'A03'"), 1);
}

TEST_P(TSfChargeItemTest, InsertDeleteAndListOrder) {
  TSfChargeItem withoutPool;
  EXPECT_EQ(withoutPool.DeptCode, "01");
  EXPECT_EQ(withoutPool.ApplyEnvironment, 1);
  TSfChargeItem item(pool_);
  EXPECT_EQ(item.DeptCode, "");
  item.ItemCode = "C01";
  item.ItemName = "O'Hara 检查费";
  item.Insert();
  EXPECT_EQ(item.OldItemCode, "C01");
  EXPECT_EQ(db_.QueryText("SELECT ItemName FROM sfChargeItem"), U8(u8"O'Hara 检查费"));
  EXPECT_EQ(MessageOf([&] { item.Insert(); }).rfind("保存收费项目出现错误!\r\n", 0), 0u);

  AddRow("B01", "b");
  AddRow("D01", "d");
  TDBObjectList list;
  item.LoadList("1=1", list, -1);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.ItemAs<TSfChargeItem>(0)->ItemCode, "B01");
  EXPECT_EQ(list.ItemAs<TSfChargeItem>(2)->ItemCode, "D01");
  item.LoadList("1=1", list, 1);
  EXPECT_EQ(list.Count(), 1);

  item.Delete();
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM sfChargeItem WHERE ItemCode = 'C01'"), 0);
  db_.Exec("DELETE FROM sfChargeItem");
  item.LoadList("1=1", list, -1);
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
