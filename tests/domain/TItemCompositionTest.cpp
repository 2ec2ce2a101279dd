#include <cstdio>
#include <memory>

#include "DomainTest.h"
#include "Exceptions.h"
#include "TCombItem.h"
#include "TItem.h"

namespace {

class TItemCompositionTest : public DomainTest {
 protected:
  // Examination items 000001..000003, and whatever composites a test adds.
  void SetUp() override {
    DomainTest::SetUp();
    AddItemRow(1, "000001", 0, "a");
    AddItemRow(2, "000002", 0, "b");
    AddItemRow(3, "000003", 0, "c");
  }
  TItemManager& Catalogue() { return TItemManager::Instance(); }
  TBaseItem* Entry(const std::string& code) { return Catalogue().FindItem(code); }
  std::unique_ptr<TCombItem> Composite(const std::string& members) {
    auto combo = std::make_unique<TCombItem>(pool_);
    combo->ItemType = 1;
    combo->SetItemsString(members);
    return combo;
  }
};

TESMIRA_ALL_BACKENDS(TItemCompositionTest);

TEST_P(TItemCompositionTest, MembersAreBuiltOnceInTextOrder) {
  auto combo = Composite("000002;000001;");
  combo->LoadItems();
  ASSERT_EQ(combo->Items().Count(), 2);
  EXPECT_EQ(combo->GetItem(0), Entry("000002"));
  EXPECT_EQ(combo->GetItem(1), Entry("000001"));
  EXPECT_TRUE(Entry("000001")->UsedBy().Contains(combo.get()));
  EXPECT_TRUE(Entry("000002")->IsReferenced());
  EXPECT_TRUE(combo->ItemsLoaded());

  combo->SetItemsString("000003;");
  combo->LoadItems();
  EXPECT_EQ(combo->Items().Count(), 2);
  EXPECT_EQ(combo->GetItemsString(), "000003;");
}

TEST_P(TItemCompositionTest, UnknownAndRepeatedCodesAreDropped) {
  auto middle = Composite("000001;000099;000002;");
  middle->LoadItems();
  EXPECT_EQ(middle->Items().Count(), 2);
  EXPECT_EQ(middle->GetItemsString(), "000001;000002;");

  auto first = Composite("000099;000001;");
  first->LoadItems();
  EXPECT_EQ(first->GetItemsString(), "000001;");

  auto twice = Composite("000001;000001;");
  twice->LoadItems();
  EXPECT_EQ(twice->Items().Count(), 1);
  EXPECT_EQ(twice->GetItemsString(), "000001;");

  auto unterminated = Composite("000002; 000003");  // last code without ";", blank in front
  unterminated->LoadItems();
  EXPECT_EQ(unterminated->GetItemsString(), "000002;000003;");

  auto none = Composite("000099;;");
  none->LoadItems();
  EXPECT_TRUE(none->Items().IsEmpty());
  EXPECT_EQ(none->GetItemsString(), "");
}

TEST_P(TItemCompositionTest, NestedCompositesAreBuiltFirstAndLinkedOneLevelUp) {
  AddItemRow(10, "000010", 1, "combo", "000001;000002;");
  AddItemRow(20, "000020", 2, "set", "000010;");
  TBaseItem* set = Entry("000020");
  TBaseItem* combo = Entry("000010");
  set->LoadItems();
  EXPECT_TRUE(combo->ItemsLoaded());
  EXPECT_EQ(combo->Items().Count(), 2);
  EXPECT_EQ(Entry("000001")->UsedBy().Count(), 1);
  EXPECT_EQ(Entry("000001")->UsedBy()[0], combo);
  EXPECT_EQ(combo->UsedBy()[0], set);
}

TEST_P(TItemCompositionTest, EditingTheMemberListKeepsTheTextInStep) {
  auto combo = Composite("000001;");
  combo->LoadItems();
  combo->AddItem(Entry("000001"));
  combo->RemoveItem(Entry("000003"));
  combo->AddItem(nullptr);
  EXPECT_EQ(combo->GetItemsString(), "000001;");
  combo->AddItem(Entry("000003"));
  EXPECT_EQ(combo->GetItemsString(), "000001;000003;");
  combo->RemoveItem(Entry("000001"));
  EXPECT_EQ(combo->GetItemsString(), "000003;");
  combo->ClearItems();
  EXPECT_TRUE(combo->Items().IsEmpty());
  EXPECT_EQ(combo->GetItemsString(), "");
  EXPECT_EQ(Entry("000003")->ItemName, "c");  // still in the catalogue
  EXPECT_THROW(combo->GetItem(0), Exception);
}

TEST_P(TItemCompositionTest, FindItemIsExactWhileFindInCatalogueTrims) {
  EXPECT_EQ(Catalogue().FindItem(" 000001"), nullptr);
  auto combo = Composite(" 000001;000002;");
  EXPECT_EQ(combo->FindInCatalogue(" 000001"), Entry("000001"));
  EXPECT_EQ(combo->FindInCatalogue("000077"), nullptr);
  combo->SetItemsString("1000077;000077;000002;");
  combo->FindInCatalogue("000077");  // whole codes only: 1000077 stays
  EXPECT_EQ(combo->GetItemsString(), "1000077;000002;");
  combo->RemoveCode("000404");
  EXPECT_EQ(combo->GetItemsString(), "1000077;000002;");
  combo->RemoveCode("000002");
  EXPECT_EQ(combo->GetItemsString(), "1000077;");
}

TEST_P(TItemCompositionTest, TheCatalogueIndexFollowsAddRemoveAndClear) {
  for (int id = 100; id < 160; ++id) AddItemRow(id, std::to_string(9000 + id), 0, "bulk");
  TItemManager& catalogue = Catalogue();
  // The schemas refuse a second row with a code; a database made before
  // they did may hold one. Such an entry joins the catalogue after "b".
  auto duplicate = std::make_unique<TItem>(pool_);
  duplicate->ItemCode = "000002";
  duplicate->ItemName = "duplicate code";
  catalogue.AddItem(duplicate.release());
  TBaseItem* first = catalogue.FindItem("000002");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->ItemName, "b");
  EXPECT_EQ(catalogue.FindItem("9159")->ItemID, 159);

  catalogue.RemoveItem(first);
  EXPECT_EQ(catalogue.FindItem("000002")->ItemName, "duplicate code");
  catalogue.AddItem(first);  // now last in catalogue order
  EXPECT_EQ(catalogue.FindItem("000002")->ItemName, "duplicate code");

  auto added = std::make_unique<TItem>(pool_);
  added->ItemName = "new";
  added->Save();
  TItem* owned = added.release();
  catalogue.AddItem(owned);
  EXPECT_EQ(catalogue.FindItem(owned->ItemCode), owned);
  auto combo = Composite(owned->ItemCode + ";");
  combo->LoadItems();
  EXPECT_EQ(combo->GetItem(0), owned);

  std::vector<TBaseItem*> entries(catalogue.Items().begin(), catalogue.Items().end());
  catalogue.ClearItems();
  EXPECT_EQ(catalogue.FindItem("000001"), nullptr);
  EXPECT_EQ(catalogue.GetItemsString(), "");
  for (TBaseItem* entry : entries) catalogue.AddItem(entry);  // back, so teardown frees them
  EXPECT_EQ(catalogue.FindItem("000001")->ItemID, 1);
}

TEST_P(TItemCompositionTest, MemberTextsResolveThroughAGrowingIndexAndCodesChangedInPlace) {
  TItemManager& catalogue = Catalogue();
  EXPECT_NE(catalogue.FindItem("000001"), nullptr);  // the index is built for the first entries
  std::vector<TBaseItem*> added;
  for (int n = 0; n < 300; ++n) {  // many more than it was made for
    auto item = std::make_unique<TItem>(pool_);
    char code[16];  // formatted here: a string built with + makes GCC's -O3 warn
    std::snprintf(code, sizeof code, "X%d", 1000 + n);
    item->ItemCode = code;
    added.push_back(item.get());
    catalogue.AddItem(item.release());
  }
  auto combo = Composite("X1000; X1299 ;000002;X1000;nope;X1150;");
  combo->LoadItems();
  ASSERT_EQ(combo->Items().Count(), 4);
  EXPECT_EQ(combo->GetItem(0), added[0]);
  EXPECT_EQ(combo->GetItem(1), added[299]);
  EXPECT_EQ(combo->GetItem(2), Entry("000002"));
  EXPECT_EQ(combo->GetItem(3), added[150]);

  // A window edits a listed entry's code: the old code no longer finds it,
  // the new one does.
  added[150]->ItemCode = "Y1150";
  auto stale = Composite("X1150;X1001;");
  stale->LoadItems();
  ASSERT_EQ(stale->Items().Count(), 1);
  EXPECT_EQ(stale->GetItem(0), added[1]);
  auto renamed = Composite("Y1150;");
  renamed->LoadItems();
  ASSERT_EQ(renamed->Items().Count(), 1);
  EXPECT_EQ(renamed->GetItem(0), added[150]);
}

TEST_P(TItemCompositionTest, TheCatalogueBuildsEveryCompositeAndCollectsEachSetOnce) {
  AddItemRow(10, "000010", 1, "combo x", "000001;000002;");
  AddItemRow(11, "000011", 1, "combo y", "000002;000003;");
  AddItemRow(20, "000020", 2, "set p", "000010;000011;");
  AddItemRow(21, "000021", 2, "set q", "000011;");
  TItemManager& catalogue = Catalogue();
  catalogue.LoadItems();
  EXPECT_EQ(Entry("000002")->UsedBy().Count(), 2);
  EXPECT_EQ(Entry("000011")->UsedBy().Count(), 2);

  TBaseItemList sets;
  catalogue.CollectItems(sets, 2);
  ASSERT_EQ(sets.Count(), 2);
  EXPECT_EQ(sets[0]->ItemCode, "000020");
  TBaseItemList items;
  Entry("000020")->CollectItems(items, 0);
  ASSERT_EQ(items.Count(), 3);
  EXPECT_EQ(items[2]->ItemCode, "000003");
}

TEST_P(TItemCompositionTest, CyclicMemberTextsEnd) {
  AddItemRow(10, "000010", 1, "loop a", "000011;000001;");
  AddItemRow(11, "000011", 1, "loop b", "000010;");
  AddItemRow(12, "000012", 1, "self", "000012;000002;");
  TItemManager& catalogue = Catalogue();
  catalogue.LoadItems();
  TBaseItem* a = Entry("000010");
  EXPECT_EQ(a->GetItemsString(), "000011;000001;");
  EXPECT_EQ(Entry("000011")->GetItemsString(), "000010;");
  EXPECT_EQ(Entry("000012")->GetItemsString(), "000012;000002;");

  TBaseItemList found;
  a->CollectItems(found, 0);
  ASSERT_EQ(found.Count(), 1);
  EXPECT_EQ(found[0]->ItemCode, "000001");
  TBaseItemList composites;
  catalogue.CollectItems(composites, 1);
  EXPECT_EQ(composites.Count(), 3);
}

TEST_P(TItemCompositionTest, AFailedBuildLeavesTheCompositeAsItWas) {
  db_.Exec("DROP TABLE TJItem");  // the catalogue cannot be read
  auto combo = Composite("000001;000002;");
  EXPECT_THROW(combo->LoadItems(), std::exception);
  EXPECT_FALSE(combo->ItemsLoaded());
  EXPECT_EQ(combo->GetItemsString(), "000001;000002;");
  EXPECT_EQ(TItemManager::AccessInstance(0), nullptr);
}

}  // namespace
