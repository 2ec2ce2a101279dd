#include <gtest/gtest.h>

#include "Exceptions.h"
#include "TDBObjectList.h"
#include "TSingleComm.h"
#include "TTestRow.h"
#include "TestDatabase.h"

namespace {

class TDBObjectListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.UseAsLibraryPool();
    pool_ = TSingleComm::Instance().GetConnPool();
  }
  TTestRow* NewRow() { return new TTestRow(pool_); }

  TestDatabase db_;
  TBaseDBConnPool* pool_ = nullptr;
};

TEST_F(TDBObjectListTest, AnOwningListFreesWhatLeavesIt) {
  const int before = TTestRow::Destroyed;
  {
    TDBObjectList list;
    TTestRow* a = NewRow();
    TTestRow* b = NewRow();
    list.Add(a);
    list.Add(b);
    list.Add(NewRow());
    EXPECT_EQ(list.Remove(a), 0);
    EXPECT_EQ(TTestRow::Destroyed, before + 1);
    EXPECT_EQ(list.Extract(b), b);  // taken out, not freed
    EXPECT_EQ(TTestRow::Destroyed, before + 1);
    delete b;
    EXPECT_EQ(list.Count(), 1);
    EXPECT_THROW(list.Items(1), Exception);
  }
  EXPECT_EQ(TTestRow::Destroyed, before + 3);
}

TEST_F(TDBObjectListTest, AListWithOwnershipSwitchedOffFreesNothing) {
  TTestRow* a = NewRow();
  const int before = TTestRow::Destroyed;
  {
    TDBObjectList list;
    list.SetOwnsObjects(false);
    list.Add(a);
    list.Add(a);
    EXPECT_EQ(list.IndexOf(a), 0);
    list.Delete(1);
    list.Clear();
  }
  EXPECT_EQ(TTestRow::Destroyed, before);
  delete a;
}

}  // namespace
