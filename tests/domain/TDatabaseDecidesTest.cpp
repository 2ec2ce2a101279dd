#include <atomic>
#include <memory>
#include <thread>

#include "DomainTest.h"
#include "TCategory.h"
#include "TCombItem.h"
#include "TItem.h"
#include "TItemManager.h"

namespace {

// Two desks on one catalogue: this process through the library, the other
// desk through its own connection (the raw client) or a second object of
// its own. Every scenario ends with the database read back.
class TDatabaseDecidesTest : public DomainTest {
 protected:
  void SetUp() override {
    DomainTest::SetUp();
    db_.Exec(U8(
        u8"INSERT INTO TJCategories (CateID, CateCode, CateName) VALUES (1, '000001', '检验科')"));
    AddItemRow(1, "000001", 0, U8(u8"身高"), "", 1);
    AddItemRow(2, "000002", 0, U8(u8"体重"), "", 1);
  }
  // An entry as a window shows it: read from its row.
  std::unique_ptr<TBaseItem> Read(const std::string& code) {
    auto entry = std::make_unique<TBaseItem>(pool_);
    entry->ItemCode = code;
    EXPECT_EQ(entry->Find(), 0);
    return entry;
  }
  std::string Text(const std::string& sql) { return db_.QueryText(sql); }
};

TESMIRA_ALL_BACKENDS(TDatabaseDecidesTest);

// The combination using 身高 was stored at another desk after this process
// read the catalogue: the delete asks the database and names it. Once no row
// uses the entry, it is deleted whatever the process remembers.
TEST_P(TDatabaseDecidesTest, ADeleteAsksTheDatabaseWhoUsesTheEntry) {
  auto height = Read("000001");
  AddItemRow(3, "000003", 1, U8(u8"身高体重"), "000001; 000002;", 1);
  EXPECT_EQ(MessageOf<EWriteRefused>([&] { height->Remove(); }),
            "引用项目不能被删除!\r\n被组合项目“身高体重”使用");
  // An exclusion text names it too, matched by whole entry only.
  db_.Exec("UPDATE TJItem SET ItemsString = '0000011;', ExcludeItems = '000001;' WHERE ItemID = 3");
  EXPECT_EQ(MessageOf<EWriteRefused>([&] { height->Remove(); }),
            "引用项目不能被删除!\r\n被组合项目“身高体重”使用");
  db_.Exec("UPDATE TJItem SET ExcludeItems = '' WHERE ItemID = 3");
  height->Remove();
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem WHERE ItemID = 1"), 0);
}

// One clerk renames, the other changes the price of the same row: the later
// save is refused, names what it did not store, and its object shows the row
// as it is now; saved again from there, both changes are kept.
TEST_P(TDatabaseDecidesTest, TheLaterOfTwoClerksSavingOneRowIsToldAndLosesNothing) {
  auto first = Read("000002");
  auto second = Read("000002");
  first->ItemName = "体重（公斤）";
  EXPECT_EQ(first->Save(), 3);
  second->UnitPrice = 12.5;
  const std::string message = MessageOf<EEntryChanged>([&] { second->Save(); });
  EXPECT_NE(message.find("修改，这次的保存没有完成"), std::string::npos) << message;
  EXPECT_NE(message.find("单价：12.50（现在为 0.00）"), std::string::npos) << message;
  EXPECT_EQ(second->ItemName, "体重（公斤）");
  EXPECT_EQ(second->UnitPrice, 0.0);
  second->UnitPrice = 12.5;
  EXPECT_EQ(second->Save(), 3);
  EXPECT_EQ(Text("SELECT ItemName FROM TJItem WHERE ItemID = 2"), U8(u8"体重（公斤）"));
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem WHERE ItemID = 2 AND UnitPrice = 12.5"), 1);
  // A change made at another desk's own connection is seen the same way.
  db_.Exec("UPDATE TJItem SET ItemUnit = 'kg' WHERE ItemID = 2");
  first->UnitPrice = 99;
  EXPECT_THROW(first->Save(), EEntryChanged);
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem WHERE UnitPrice = 99"), 0);
}

// A row deleted at another desk is never reported as saved, nor stored again.
TEST_P(TDatabaseDecidesTest, ASaveOfARowDeletedElsewhereSaysSo) {
  auto weight = Read("000002");
  db_.Exec("DELETE FROM TJItem WHERE ItemID = 2");
  weight->UnitPrice = 5;
  EXPECT_EQ(MessageOf<EEntryDeleted>([&] { weight->Save(); }),
            "“体重”已被其他用户删除，这次的修改没有保存。");
  EXPECT_THROW(weight->Remove(), EEntryDeleted);
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem WHERE ItemID = 2"), 0);
}

// Members, exclusions, a tube or a category deleted elsewhere are never
// stored as dangling codes: the save names them and writes nothing.
TEST_P(TDatabaseDecidesTest, ASaveNamingWhatWasDeletedElsewhereIsRefused) {
  TCombItem combination(pool_);
  combination.ItemName = "身高体重";
  combination.ItemType = 1;
  combination.CateID = 1;
  combination.SetItemsString("000001;000002;");
  combination.SampleGroupID = 77;
  db_.Exec("DELETE FROM TJItem WHERE ItemID = 2");
  const std::string message = MessageOf<EWriteRefused>([&] { combination.Save(); });
  EXPECT_NE(message.find("（000002）"), std::string::npos) << message;
  EXPECT_NE(message.find("所选试管"), std::string::npos) << message;
  EXPECT_EQ(message.find("000001"), std::string::npos) << message;
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem WHERE ItemType = 1"), 0);
  combination.SetItemsString("000001;");
  combination.SampleGroupID = 0;
  EXPECT_EQ(combination.Save(), 2);
}

// Two desks rename the category over and over while a third saves items in
// it: no rename is lost silently (a stale one is refused and retried from the
// row as it is), and every item ends with the category's final name.
TEST_P(TDatabaseDecidesTest, RenamesAndItemSavesAtOnceLeaveOneConsistentCategory) {
  std::atomic<int> refusals{0};
  std::string errors[3];
  auto renamer = [&](int desk) {
    try {
      TCategory category(pool_);
      category.CateID = 1;
      category.Find();
      for (int i = 0; i < 15; ++i) {
        category.CateName = "desk " + std::to_string(desk) + " name " + std::to_string(i);
        try {
          category.Save();
        } catch (const EEntryChanged&) {
          ++refusals;  // the object holds the row as it is now: try again from there
        }
      }
    } catch (const std::exception& e) {
      errors[desk] = e.what();
    }
  };
  auto itemDesk = [&] {
    try {
      for (int i = 0; i < 15; ++i) {
        TItem item(pool_);
        item.ItemName = "item " + std::to_string(i);
        item.CateID = 1;
        item.CateName = "whatever the desk saw";
        item.Save();
      }
    } catch (const std::exception& e) {
      errors[2] = e.what();
    }
  };
  std::thread a(renamer, 0), b(renamer, 1), c(itemDesk);
  a.join();
  b.join();
  c.join();
  for (const std::string& error : errors) EXPECT_EQ(error, "");
  const std::string finalName = Text("SELECT CateName FROM TJCategories WHERE CateID = 1");
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem WHERE CateID = 1 AND CateName <> '" +
                         finalName + "'"),
            0);
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem WHERE CateID = 1"), 17);
}

}  // namespace

namespace {

// Names are stored without the blanks around them (the full-width space of
// a Chinese input method included); a name of blanks only is refused.
TEST_P(TDatabaseDecidesTest, NamesAreTrimmedAndABlankNameIsRefused) {
  TItem item(pool_);
  item.ItemName = "\xA1\xA1 尿酸 \t";
  EXPECT_EQ(item.Save(), 2);
  EXPECT_EQ(Text("SELECT ItemName FROM TJItem WHERE ItemID = " + std::to_string(item.ItemID)),
            U8(u8"尿酸"));
  TItem blank(pool_);
  blank.ItemName = "   ";
  EXPECT_EQ(MessageOf<ETJItemException>([&] { blank.Save(); }), "项目名称不能为空！");
  TCategory category(pool_);
  category.CateName = " \xA1\xA1";
  EXPECT_EQ(MessageOf<ETJItemException>([&] { category.Save(); }), "类别名称不能为空！");
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem"), 3);
}

// A category changed at another desk: the later save names who changed it
// and each field it did not store; the object holds the row as it is now.
TEST_P(TDatabaseDecidesTest, AStaleCategorySaysWhatWasNotSaved) {
  TCategory category(pool_);
  category.CateID = 1;
  ASSERT_EQ(category.Find(), 0);
  db_.Exec(
      U8(u8"UPDATE TJCategories SET CateInfo = '二楼', ModifiedBy = '李护士' WHERE CateID = 1"));
  category.CateName = "检验中心";
  const std::string told = MessageOf<EEntryChanged>([&] { category.Save(); });
  EXPECT_NE(told.find("李护士"), std::string::npos) << told;
  EXPECT_NE(told.find("类别名称：检验中心（现在为 检验科）"), std::string::npos) << told;
  EXPECT_EQ(category.CateInfo, "二楼");
  EXPECT_EQ(Text("SELECT CateName FROM TJCategories WHERE CateID = 1"), U8(u8"检验科"));
}

// Another desk's writes reach the shared catalogue when the change stamp
// moved by more than this process's own saves: changed rows, a new
// combination with its members, a deleted row (its entry stays alive for
// whoever still points at it). An entry an editor holds keeps its values.
TEST_P(TDatabaseDecidesTest, TheCatalogueCatchesUpWithAnotherDeskAndKeepsHeldEntries) {
  TItemManager& catalogue = TItemManager::Instance();
  catalogue.LoadItems();
  TBaseItem* height = catalogue.FindItem("000001");
  TBaseItem* weight = catalogue.FindItem("000002");
  ASSERT_TRUE(height && weight);
  const auto holdWeight = [weight](const TBaseItem* entry) { return entry == weight; };
  weight->ItemUnit = "kg";
  EXPECT_EQ(weight->Save(), 3);
  EXPECT_FALSE(catalogue.CatchUpIfChangedElsewhere(holdWeight));  // its own save only

  db_.Exec("UPDATE TJItem SET UnitPrice = 9 WHERE ItemID = 1");
  db_.Exec(U8(u8"UPDATE TJItem SET ItemName = '体重（公斤）' WHERE ItemID = 2"));
  AddItemRow(3, "000003", 1, U8(u8"身高体重"), "000001;000002;", 1);
  db_.Exec("UPDATE TJCatalogueVersion SET Version = Version + 1");
  EXPECT_TRUE(catalogue.CatchUpIfChangedElsewhere(holdWeight));
  EXPECT_EQ(height->UnitPrice, 9);
  EXPECT_EQ(weight->ItemName, "体重");  // held
  TBaseItem* composite = catalogue.FindItem("000003");
  ASSERT_NE(composite, nullptr);
  ASSERT_EQ(composite->Items().Count(), 2);
  EXPECT_EQ(composite->Items()[0], height);
  EXPECT_TRUE(height->UsedBy().Contains(composite));
  EXPECT_FALSE(catalogue.CatchUpIfChangedElsewhere(holdWeight));

  db_.Exec("UPDATE TJItem SET ItemsString = '000002;' WHERE ItemID = 3");
  db_.Exec("DELETE FROM TJItem WHERE ItemID = 1");
  db_.Exec("UPDATE TJCatalogueVersion SET Version = Version + 1");
  EXPECT_TRUE(catalogue.CatchUpIfChangedElsewhere(holdWeight));
  EXPECT_EQ(catalogue.FindItem("000001"), nullptr);
  EXPECT_EQ(height->ItemName, "身高");  // retired, still alive
  ASSERT_EQ(composite->Items().Count(), 1);
  EXPECT_EQ(composite->Items()[0], weight);
  EXPECT_TRUE(weight->UsedBy().Contains(composite));
  // The held entry's save is still decided by its own stale-row check.
  weight->UnitPrice = 3;
  EXPECT_THROW(weight->Save(), EEntryChanged);
  EXPECT_EQ(Text("SELECT ItemName FROM TJItem WHERE ItemID = 2"), U8(u8"体重（公斤）"));
}

}  // namespace
