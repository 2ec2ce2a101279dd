#include <memory>

#include "DomainTest.h"
#include "Exceptions.h"
#include "TCategory.h"
#include "TDBObjectList.h"
#include "TItem.h"

namespace {

class TCategoryTest : public DomainTest {
 protected:
  std::unique_ptr<TCategory> NewCategory(const std::string& name) {
    auto category = std::make_unique<TCategory>(pool_);
    category->CateName = name;
    return category;
  }
  void AddCategoryRow(int id, const std::string& code, const std::string& utf8Name) {
    db_.Exec("INSERT INTO TJCategories (CateID, CateCode, CateName) VALUES (" + std::to_string(id) +
             ", '" + code + "', '" + utf8Name + "')");
  }
};

TESMIRA_ALL_BACKENDS(TCategoryTest);

TEST_P(TCategoryTest, SaveInsertsWithDrawnKeysThenUpdates) {
  auto category = NewCategory("检验科");
  category->CateType = ctLaboratory;
  category->IsDispInRep = true;
  category->ModifiedDate = TDateTime::FromDate(2024, 3, 9);
  category->Remark = "it's";
  EXPECT_EQ(category->Save(), 2);
  EXPECT_EQ(category->CateID, 1);
  EXPECT_EQ(category->CateCode, "000001");
  EXPECT_EQ(db_.QueryText("SELECT CateName FROM TJCategories WHERE CateID = 1"), U8(u8"检验科"));
  EXPECT_EQ(db_.QueryText(db_.OnServer()  // a DATETIME column on a server
                              ? "SELECT to_char(ModifiedDate, 'YYYY-MM-DD') FROM TJCategories"
                              : "SELECT ModifiedDate FROM TJCategories"),
            "2024-03-09");
  EXPECT_EQ(db_.QueryText("SELECT Remark FROM TJCategories"), "it's");
  EXPECT_EQ(db_.QueryInt("SELECT IsDispInRep FROM TJCategories"), 1);

  category->CateInfo = "updated";
  EXPECT_EQ(category->Save(), 3);
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJCategories"), 1);
  EXPECT_EQ(db_.QueryText("SELECT CateInfo FROM TJCategories"), "updated");

  AddCategoryRow(7, "000123", "x");
  auto next = NewCategory("功能科");
  next->Save();
  EXPECT_EQ(next->CateID, 8);
  EXPECT_EQ(next->CateCode, "000124");
}

TEST_P(TCategoryTest, AFailedInsertLeavesTheCategoryNew) {
  auto unnamed = NewCategory("");
  EXPECT_EQ(MessageOf<ETJItemException>([&] { unnamed->Save(); }), "类别名称不能为空！");
  EXPECT_FALSE(unnamed->CateID.has_value());
  EXPECT_TRUE(unnamed->CateCode.empty());

  db_.RefuseWrites("TJCategories", "INSERT");
  unnamed->CateName = "检查科";
  EXPECT_THROW(unnamed->Save(), std::exception);
  EXPECT_FALSE(unnamed->CateID.has_value());
  db_.AllowWrites("TJCategories", "INSERT");

  EXPECT_EQ(unnamed->Save(), 2);  // inserts, not an update of no row
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJCategories"), 1);
}

TEST_P(TCategoryTest, UpdateChecksTheCodeBeforeTheName) {
  AddCategoryRow(1, "", "");
  auto category = std::make_unique<TCategory>(pool_);
  category->CateID = 1;
  ASSERT_EQ(category->Find(), 0);
  EXPECT_EQ(MessageOf<ETJItemException>([&] { category->Save(); }), "类别编号不能为空！");
}

TEST_P(TCategoryTest, QuotedNamesAreStoredAndFoundAsTyped) {
  auto category = NewCategory("O'Brien 血糖");
  category->CateInfo = "a 'quoted' info";
  category->Save();
  EXPECT_EQ(db_.QueryText("SELECT CateName FROM TJCategories"), U8(u8"O'Brien 血糖"));

  auto reader = std::make_unique<TCategory>(pool_);
  EXPECT_EQ(reader->GetCateIDByName("O'Brien 血糖"), 1);
  EXPECT_EQ(reader->GetCateIDByName("x' OR '1'='1"), 0);
  reader->CateName = "O'Brien 血糖";
  ASSERT_EQ(reader->Find(), 0);
  EXPECT_EQ(reader->CateInfo, "a 'quoted' info");
  auto typed = std::make_unique<TCategory>(pool_);
  typed->CateName = "' OR 1=1 --";
  EXPECT_EQ(typed->Find(), -1);
}

TEST_P(TCategoryTest, FindTakesTheIdThenTheCodeThenTheName) {
  AddCategoryRow(1, "000001", "alpha");
  AddCategoryRow(2, "000002", "beta");
  auto category = std::make_unique<TCategory>(pool_);
  category->CateID = 2;
  category->CateCode = "000001";
  category->CateName = "alpha";
  ASSERT_EQ(category->Find(), 0);
  EXPECT_EQ(category->CateName, "beta");

  category->CateID.reset();
  category->CateCode = "000001";
  category->CateName = "beta";
  category->Find();
  EXPECT_EQ(category->CateName, "alpha");

  category->CateID.reset();
  category->CateCode.clear();
  category->CateName = "beta";
  category->Find();
  EXPECT_EQ(category->CateID, 2);

  category->CateID = 9;  // a row that is gone: -1, members kept
  EXPECT_EQ(category->Find(), -1);
  EXPECT_EQ(category->CateName, "beta");

  auto empty = std::make_unique<TCategory>(pool_);
  EXPECT_EQ(MessageOf<ETJItemException>([&] { empty->Find(); }), "查询条件不正确");
}

// A refusal the database gives for another reason than items in the
// category keeps its own text (a lost connection is never "referenced").
TEST_P(TCategoryTest, ARefusedDeleteIsRolledBack) {
  AddCategoryRow(1, "000001", U8(u8"检查科"));
  auto category = std::make_unique<TCategory>(pool_);
  category->CateID = 1;
  category->Find();
  db_.RefuseWrites("TJCategories", "DELETE");
  EXPECT_THROW(category->Remove(), Exception);
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJCategories"), 1);

  // The transaction was rolled back: the next delete runs and commits.
  db_.AllowWrites("TJCategories", "DELETE");
  category->Remove();
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJCategories"), 0);
}

TEST_P(TCategoryTest, LoadListAppendsCategoriesInTableOrder) {
  AddCategoryRow(2, "000002", "b");
  AddCategoryRow(1, "000001", "a");
  AddCategoryRow(3, "000003", "c");
  auto query = std::make_unique<TCategory>(pool_);
  TDBObjectList list;
  list.Add(new TCategory(pool_));
  query->LoadList("1=1", list, -1);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.ItemAs<TCategory>(1)->CateName, "a");
  EXPECT_EQ(list.ItemAs<TCategory>(3)->CateID, 3);
  TDBObjectList two;
  query->LoadList("1=1", two, 2);
  EXPECT_EQ(two.Count(), 2);
}

TEST_P(TCategoryTest, ItemsAreListedOnceAndIndexedSafely) {
  auto category = NewCategory("c");
  TItem first(pool_);
  TItem second(pool_);
  category->AddItem(&first);
  category->AddItem(&second);
  category->AddItem(&first);
  EXPECT_EQ(category->Items().Count(), 2);
  EXPECT_EQ(category->GetItem(1), &second);
  for (int index : {-1, 2}) {
    EXPECT_EQ(MessageOf<ETJItemException>([&] { category->GetItem(index); }),
              "取项目信息数组越界!");
  }
}

TEST_P(TCategoryTest, TheManagerIsReachedThroughInstanceOnly) {
  AddCategoryRow(1, "000001", "a");
  AddCategoryRow(2, "000002", "b");
  EXPECT_EQ(MessageOf<Exception>([&] { TCategoryManager direct; }),
            "Access class TCategoryManager through Instance only");
  EXPECT_EQ(TCategoryManager::AccessInstance(0), nullptr);
  TCategoryManager& manager = TCategoryManager::Instance();
  EXPECT_EQ(&TCategoryManager::Instance(), &manager);
  EXPECT_EQ(manager.Categories().Count(), 2);
  EXPECT_EQ(MessageOf<Exception>([&] { TCategoryManager::AccessInstance(3); }),
            "Illegal request 3 in AccessInstance");

  manager.NewCategory();  // never saved: freed when the next one is asked for
  TCategory* pending = manager.NewCategory();
  EXPECT_EQ(manager.PendingCategory(), pending);
  pending->CateName = "new";
  pending->Save();
  manager.AddCategory(pending);
  manager.AddCategory(pending);
  EXPECT_EQ(manager.Categories().Count(), 3);
  manager.RemoveCategory(pending);  // freed by the list
  EXPECT_EQ(manager.Categories().Count(), 2);
  EXPECT_EQ(manager.PendingCategory(), nullptr);
}

}  // namespace

TEST_P(TCategoryTest, ACategoryWithItemsIsNotDeleted) {
  AddCategoryRow(1, "000001", U8(u8"检验科"));
  db_.Exec(U8(
      u8"INSERT INTO TJItem (ItemID, ItemCode, ItemName, CateId) VALUES (1, '000001', '血糖', 1)"));
  auto category = std::make_unique<TCategory>(pool_);
  category->CateID = 1;
  category->Find();
  EXPECT_EQ(MessageOf<ETJItemException>([&] { category->Delete(); }),
            "类别[检验科]已被引用，不能删除！\r\n被项目“血糖”使用");
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJCategories"), 1);

  db_.Exec("DELETE FROM TJItem");
  EXPECT_EQ(category->Delete(), 0);
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJCategories"), 0);
}
