#include <gtest/gtest.h>

#include <memory>

#include "Exceptions.h"
#include "TDBConnPool.h"
#include "TDBObjectList.h"
#include "TSingleComm.h"
#include "TTestRow.h"
#include "TestBackends.h"
#include "TestDatabase.h"

namespace {

// The generic SQL of TDBObject, on every backend.
class TDBObjectTest : public ::testing::TestWithParam<TestBackend> {
 protected:
  void SetUp() override {
    db_.Exec(TTestRow::kCreateTable);
    db_.UseAsLibraryPool();
    pool_ = TSingleComm::Instance().GetConnPool();
  }
  void AddRows(const std::string& values) {
    db_.Exec("INSERT INTO TestRow (RowID, Code, Name) VALUES " + values);
  }

  TestDatabase db_{GetParam()};
  TBaseDBConnPool* pool_ = nullptr;
};

TESMIRA_ALL_BACKENDS(TDBObjectTest);

TEST_P(TDBObjectTest, NextIDDrawsPaddedTextKeys) {
  TTestRow row(pool_);
  EXPECT_EQ(row.NextID("000000", "Code"), "000001");
  AddRows("(1, '000123', 'a')");
  EXPECT_EQ(row.NextID("000000", "Code"), "000124");
  AddRows("(2, '999999', 'b')");
  EXPECT_EQ(row.NextID("000000", "Code"), "1000000");
  EXPECT_EQ(row.NextID("A0000", "RowID"), "A0003");
}

TEST_P(TDBObjectTest, NextIntIDCastsTextKeysBeforeTakingTheMaximum) {
  TTestRow row(pool_);
  EXPECT_EQ(row.NextIntID("Code"), 1);
  EXPECT_EQ(row.NextIntegerKey("RowID"), 1);
  // As text '7' sorts after '12'; cast to integers the largest is 12.
  AddRows("(1, '7', 'a'), (2, '12', 'b')");
  EXPECT_EQ(row.NextIntID("Code"), 13);
  EXPECT_EQ(row.NextIntID("RowID"), 3);
  EXPECT_EQ(row.NextIntegerKey("RowID"), 3);
}

TEST_P(TDBObjectTest, LoadListAppendsObjectsOfTheSameClassUpToTheLimit) {
  AddRows("(3, 'c', 'third'), (1, 'a', 'first'), (2, 'b', 'second')");
  TTestRow query(pool_);
  TDBObjectList list;
  list.Add(new TTestRow(pool_));  // kept: the list is not cleared

  query.LoadList("1=1", list, -1);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.ItemAs<TTestRow>(1)->Name, "first");
  EXPECT_EQ(list.ItemAs<TTestRow>(3)->Name, "third");
  EXPECT_NE(dynamic_cast<TTestRow*>(list[2]), nullptr);

  TDBObjectList limited;
  query.LoadList("1=1", limited, 2);
  EXPECT_EQ(limited.Count(), 2);
  query.LoadList("1=1", limited, 0);
  EXPECT_EQ(limited.Count(), 2);
  query.LoadList("Code = 'b'", limited, -1);
  ASSERT_EQ(limited.Count(), 3);
  EXPECT_EQ(limited.ItemAs<TTestRow>(2)->RowID, 2);

  query.SetOrderBy("");  // the template without ORDER BY
  TDBObjectList unordered;
  query.LoadList("RowID > 1", unordered, -1);
  EXPECT_EQ(unordered.Count(), 2);
}

TEST_P(TDBObjectTest, OpenUsesTheWhereConditionOnlyWhenThereIsOne) {
  AddRows("(1, 'a', 'x'), (2, 'b', 'y'), (3, 'c', 'y')");
  TTestRow row(pool_);
  row.SetWhere("Name = 'y'");
  ASSERT_EQ(row.Open(), 0);
  EXPECT_EQ(row.GetDataSet()->RecordCount(), 2);
  row.SetWhere("");
  row.Open();
  EXPECT_EQ(row.GetDataSet()->RecordCount(), 3);
  row.CloseDataSet();
  EXPECT_EQ(row.GetDataSet(), nullptr);

  // ORDER BY is always written, so an empty order fails; the message is kept.
  row.SetOrderBy("");
  EXPECT_THROW(row.Open(), std::exception);
  EXPECT_FALSE(row.GetLastError().empty());
  row.SetLastErrorForTest("");
  EXPECT_THROW(row.OpenSQL("SELECT * FROM nosuchtable"), std::exception);
  EXPECT_NE(row.GetLastError().find("nosuchtable"), std::string::npos);
}

TEST_P(TDBObjectTest, FindLoadsTheRowOfTheWhereConditionAndPrefixesFailures) {
  AddRows("(1, 'a', 'first'), (2, 'b', 'second')");
  TTestRow row(pool_);
  row.SetWhere("Code = 'b'");
  EXPECT_EQ(row.Find(), 0);
  EXPECT_EQ(row.Name, "second");
  row.SetWhere("Code = 'z'");
  EXPECT_EQ(row.Find(), -1);
  EXPECT_EQ(row.Name, "second");

  row.SetWhere("nosuchcolumn = 1");
  try {
    row.Find();
    FAIL() << "Find on a failing query must raise";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message().rfind("查找错误!\r\n", 0), 0u) << e.Message();
  }
}

TEST_P(TDBObjectTest, DeleteAndUpdateFieldsActOnTheRowsTheyName) {
  AddRows("(1, 'a', 'first'), (2, 'b', 'second')");
  TTestRow row(pool_);
  row.SetWhere("RowID = 1");
  EXPECT_EQ(row.Delete(), -1);
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TestRow"), 1);

  EXPECT_EQ(row.UpdateFields("Name = 'renamed'", "RowID = 2"), 0);
  EXPECT_EQ(db_.QueryText("SELECT Name FROM TestRow WHERE RowID = 2"), "renamed");

  row.SetTableName("");
  EXPECT_EQ(row.UpdateFields("Name = 'x'", "1=1"), -2);
  EXPECT_EQ(row.GetLastError(), "No table defined.");
  EXPECT_EQ(db_.QueryText("SELECT Name FROM TestRow WHERE RowID = 2"), "renamed");
}

TEST_P(TDBObjectTest, TheInterfaceForwardsToTheOverridesAndNeverFreesTheObject) {
  AddRows("(1, 'a', 'first')");
  TTestRow row(pool_);
  IBaseDBObject* viaQuery = nullptr;
  ASSERT_EQ(row.QueryInterface(IID_IBaseDBObject, reinterpret_cast<void**>(&viaQuery)), 0);
  ASSERT_EQ(viaQuery, row.AsInterface());
  EXPECT_EQ(IID_IBaseDBObject.D1, 0x18F27F60u);
  EXPECT_EQ(IID_IBaseDBObject.D4[7], 0xF5);

  viaQuery->SetWhere("Code = 'a'");
  EXPECT_EQ(viaQuery->Find(), 0);  // TDBObject's find, TTestRow's load
  EXPECT_EQ(row.Name, "first");
  EXPECT_EQ(viaQuery->GetTableName(), "TestRow");
  EXPECT_EQ(viaQuery->Reserved(), 0);

  viaQuery->Release();
  viaQuery->Release();  // one too many: still not freed
  EXPECT_EQ(row.GetWhere(), "Code = 'a'");

  void* other = nullptr;
  EXPECT_NE(row.QueryInterface(TGUID{1, 2, 3, {0}}, &other), 0);
  EXPECT_EQ(other, nullptr);
}

TEST_P(TDBObjectTest, ObjectsMadeWithoutAPoolTakeTheSharedPoolWhenNoSiblingIsBound) {
  AddRows("(1, 'a', 'first')");
  TTestRow row;
  row.SetWhere("RowID = 1");
  EXPECT_EQ(row.Find(), 0);
  EXPECT_EQ(row.Code, "a");
}

TEST(TDBObjectBindingTest, ABindingFailureBecomesAConnectionError) {
  TestDatabase db;
  db.Exec(TTestRow::kCreateTable);
  db.UseAsLibraryPool(0, 1);
  // Objects bind through the library's own pool: point it at a file that
  // cannot be opened.
  TDBConnPool* pool = TDBConnPool::AccessInstance(0);
  pool->SetSchema(db.Folder() + "/missing/folder/x.db");
  try {
    TTestRow row(pool);
    FAIL() << "binding must fail";
  } catch (const EDBException& e) {
    EXPECT_EQ(e.Message().rfind("连接数据库失败\r\n", 0), 0u) << e.Message();
    EXPECT_GT(e.Message().size(), std::string("连接数据库失败\r\n").size());
  }
  pool->SetSchema(db.Path());
  TTestRow row(pool);  // the pool works again once the file exists
  EXPECT_EQ(row.NextIntID("RowID"), 1);
}

}  // namespace
