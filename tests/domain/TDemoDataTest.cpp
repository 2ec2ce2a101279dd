#include <fstream>
#include <set>
#include <sstream>

#include "DomainTest.h"
#include "TCategory.h"
#include "TDBObjectList.h"

namespace {

// The demonstration data, loaded into a fresh database as the demo script
// does, must read back as a consistent catalogue.
class TDemoDataTest : public DomainTest {
 protected:
  void SetUp() override {
    DomainTest::SetUp();
    std::ifstream in(TESMIRA_SOURCE_DIR "/sql/demo-data.sql");
    ASSERT_TRUE(in) << "sql/demo-data.sql is missing";
    std::stringstream text;
    text << in.rdbuf();
    db_.Exec(text.str());
  }
};

TESMIRA_ALL_BACKENDS(TDemoDataTest);

TEST_P(TDemoDataTest, EveryCompositeNamesKnownMembersOfTheRightKind) {
  TItemManager& catalogue = TItemManager::Instance();
  std::vector<std::pair<TBaseItem*, std::string>> stored;
  for (TBaseItem* entry : catalogue.Items())
    if (entry->ItemType != 0) stored.emplace_back(entry, entry->GetItemsString());
  ASSERT_GE(stored.size(), 20u);
  catalogue.LoadItems();
  for (auto& [composite, text] : stored) {
    EXPECT_EQ(composite->GetItemsString(), text) << composite->ItemCode << " names an unknown code";
    EXPECT_FALSE(composite->Items().IsEmpty()) << composite->ItemCode;
    for (TBaseItem* member : composite->Items())
      EXPECT_EQ(member->ItemType, composite->ItemType - 1) << composite->ItemCode;
  }
  TBaseItemList sets;
  catalogue.CollectItems(sets, 2);
  EXPECT_GE(sets.Count(), 2);
}

TEST_P(TDemoDataTest, MnemonicsCategoriesAndLookupsAgree) {
  TItemManager& catalogue = TItemManager::Instance();
  TCommon& common = TCommon::Instance();
  for (TBaseItem* entry : catalogue.Items())
    EXPECT_EQ(entry->AbForPY, common.GetPYCode(entry->ItemName)) << entry->ItemCode;

  TCategoryManager& categories = TCategoryManager::Instance();
  std::set<int32_t> kinds;
  for (TBaseDBObject* object : categories.Categories())
    kinds.insert(static_cast<TCategory*>(object)->CateType);
  EXPECT_EQ(kinds, (std::set<int32_t>{0, 1, 2}));

  EXPECT_GE(TSampleType::Instance().SampleTypes()->Count(), 3);
  TBaseItem probe(pool_);
  EXPECT_TRUE(probe.NameExists("血常规"));
  EXPECT_TRUE(probe.NameExists("血糖"));
}

}  // namespace
