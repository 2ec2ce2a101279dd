#include <memory>

#include "DomainTest.h"
#include "Exceptions.h"
#include "TDBObjectList.h"
#include "TSampleGroup.h"

namespace {

class TSampleTest : public DomainTest {
 protected:
  void AddGroupRows() {
    db_.Exec(
        U8(u8"INSERT INTO TJSampleGroup (GroupID, SampleTypeID, GroupName) VALUES "
           u8"(5, 3, '紫头管'), (2, 3, '红头管'), (3, 1, '灰头管'), (4, 2, '蓝头管'), "
           u8"(1, 1, '黄头管')"));
  }
  void AddTypeRows() {
    db_.Exec(
        U8(u8"INSERT INTO TJSampleType (ID, SampleTypeID, SampleTypeName) VALUES "
           u8"(2, 20, '全血'), (1, 10, '血清'), (3, 30, '尿液'), (4, 40, '血清')"));
    // A server draws ID from a sequence, which keys written by hand do not
    // move on.
    if (db_.OnServer()) db_.Exec("SELECT setval('TJSampleTypeIDs', 4)");
  }
};

TESMIRA_ALL_BACKENDS(TSampleTest);

TEST_P(TSampleTest, AnInsertedGroupCarriesTheIdentityTheDatabaseGaveIt) {
  TSampleGroup group(pool_);
  group.SampleTypeID = 3;
  group.GroupName = "O'Neil 管";
  EXPECT_EQ(group.Insert(), 0);
  EXPECT_EQ(group.GroupID, 1);
  TSampleGroup second(pool_);
  second.GroupName = "b";
  second.Insert();
  EXPECT_EQ(second.GroupID, 2);
  EXPECT_EQ(db_.QueryText("SELECT GroupName FROM TJSampleGroup WHERE GroupID = 1"),
            U8(u8"O'Neil 管"));

  group.GroupName = "renamed";
  group.Update();
  EXPECT_EQ(db_.QueryText("SELECT GroupName FROM TJSampleGroup WHERE GroupID = 1"), "renamed");
  second.Delete();
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJSampleGroup"), 1);
}

TEST_P(TSampleTest, GroupListsFollowTheConditionAndTheLimit) {
  AddGroupRows();
  TSampleGroup query(pool_);
  TDBObjectList list;
  list.Add(new TSampleGroup(pool_));  // cleared first
  query.LoadList("", list, -1);
  EXPECT_EQ(list.Count(), 5);
  query.LoadList("sampleTypeID=3", list, -1);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.ItemAs<TSampleGroup>(0)->GroupID, 2);
  EXPECT_EQ(list.ItemAs<TSampleGroup>(1)->GroupName, "紫头管");
  query.LoadList("1=1", list, 2);
  EXPECT_EQ(list.Count(), 2);
  query.LoadList("sampleTypeID=9", list, -1);
  EXPECT_EQ(list.Count(), 0);
  try {
    query.LoadList("nosuchcolumn=1", list, -1);
    ADD_FAILURE() << "no error";
  } catch (const EBaseException& e) {
    EXPECT_EQ(e.Message(), "加载数据错误");
    EXPECT_NE(e.ExtraText.find("nosuchcolumn"), std::string::npos) << e.ExtraText;
  }
}

TEST_P(TSampleTest, GroupFindTakesTheFirstRowOfTheWhereCondition) {
  AddGroupRows();
  TSampleGroup group(pool_);
  group.SetWhere("SampleTypeID = 1 ORDER BY GroupID");
  ASSERT_EQ(group.Find(), 0);
  EXPECT_EQ(group.GroupName, "黄头管");
  group.SetWhere("SampleTypeID = 9");
  EXPECT_EQ(group.Find(), -1);
  EXPECT_EQ(group.GroupID, 1);
  group.SetWhere("NoSuchColumn = 1");
  EXPECT_EQ(MessageOf<Exception>([&] { group.Find(); }).rfind("查找信息出现错误", 0), 0u);
}

TEST_P(TSampleTest, SampleTypesAreFoundByNameAndKeepTheirId) {
  AddTypeRows();
  TSampleType type(pool_);
  type.SampleTypeName = "尿液";
  ASSERT_EQ(type.Find(), 0);
  EXPECT_EQ(type.ID(), 3);
  EXPECT_EQ(type.SampleTypeID, 30);
  type.SampleTypeName = "血清";
  type.Find();
  EXPECT_EQ(type.ID(), 1);
  type.SampleTypeName = "无";
  EXPECT_EQ(type.Find(), -1);
  EXPECT_EQ(type.ID(), 1);
  EXPECT_EQ(type.SampleTypeID, 10);

  TSampleType added(pool_);
  added.SampleTypeID = 50;
  added.SampleTypeName = "it's";
  added.Insert();
  EXPECT_EQ(added.ID(), 0);
  EXPECT_EQ(db_.QueryText("SELECT SampleTypeName FROM TJSampleType WHERE SampleTypeID = 50"),
            "it's");
}

TEST_P(TSampleTest, TheInstanceReadsEverySampleTypeOnce) {
  AddTypeRows();
  EXPECT_EQ(TSampleType::AccessInstance(0), nullptr);
  TSampleType& instance = TSampleType::Instance();
  ASSERT_NE(instance.SampleTypes(), nullptr);
  ASSERT_EQ(instance.SampleTypes()->Count(), 4);
  EXPECT_EQ(instance.SampleTypes()->ItemAs<TSampleType>(0)->SampleTypeName, "血清");
  EXPECT_EQ(instance.SampleTypes()->ItemAs<TSampleType>(1)->ID(), 2);

  db_.Exec("INSERT INTO TJSampleType (SampleTypeID, SampleTypeName) VALUES (60, 'x')");
  EXPECT_EQ(&TSampleType::Instance(), &instance);
  EXPECT_EQ(instance.SampleTypes()->Count(), 4);

  std::unique_ptr<TSampleType> unregistered(TSampleType::CreateSingleton());
  EXPECT_EQ(unregistered->SampleTypes()->Count(), 5);
  EXPECT_EQ(TSampleType::AccessInstance(0), &instance);
  EXPECT_THROW(TSampleType::AccessInstance(-1), Exception);
  TSampleType plain(pool_);
  EXPECT_EQ(plain.SampleTypes(), nullptr);
}

}  // namespace
