#include <iostream>
#include <memory>
#include <sstream>

#include "CatalogueHistory.h"
#include "DomainTest.h"
#include "Exceptions.h"
#include "TCatalogueHistory.h"
#include "TCategory.h"
#include "TCombItem.h"
#include "TCurrentUser.h"
#include "TItem.h"
#include "TItemManager.h"
#include "TSampleGroup.h"
#include "TStatementCounter.h"

namespace {

TCurrentUser Clerk(const std::string& userName, const std::string& operatorName) {
  TCurrentUser user;
  user.UserName = userName;
  user.Rights = {{"TJXT202001"}, {"TJXT203001"}, {"TJXT201001"}};
  user.Operator.OperatorName = operatorName;
  return user;
}

class CatalogueHistoryTest : public DomainTest {
 protected:
  TCurrentUser zhang_ = Clerk("zhang", "张三");
  TCurrentUser li_ = Clerk("li", "李四");
  TWriteContext AsZhang() { return {&zhang_, "TfrmItemEdit"}; }
  TWriteContext AsLi() { return {&li_, "TfrmItemEdit"}; }

  std::unique_ptr<TItem> SavedItem(const std::string& name, double price) {
    auto item = std::make_unique<TItem>(pool_);
    item->ItemName = name;
    item->UnitPrice = price;
    item->Save(AsZhang());
    return item;
  }
  std::unique_ptr<TItem> Reloaded(const std::string& code) {
    auto item = std::make_unique<TItem>(pool_);
    item->ItemCode = code;
    EXPECT_EQ(item->Find(), 0);
    return item;
  }
  std::vector<THistoryRow> HistoryOf(const std::string& table, const std::string& code) {
    return TCatalogueHistory(pool_).RowsOf(table, code);
  }
  long long HistoryRows() { return db_.QueryInt("SELECT count(*) FROM TJCatalogueHistory"); }
  // The row as stored, every column in order, to compare two states.
  std::string StoredRow(const std::string& code) {
    TColumnValues values = Reloaded(code)->ColumnValues();
    std::string text;
    for (const auto& [name, value] : values) text += name + "=" + value + ";";
    return text;
  }
};

TESMIRA_ALL_BACKENDS(CatalogueHistoryTest);

// Insert, price change and delete each leave their rows: who, from where,
// what changed, one change number per write.
TEST_P(CatalogueHistoryTest, EachWriteLeavesItsRows) {
  auto item = SavedItem("血糖", 12.5);
  std::vector<THistoryRow> rows = HistoryOf("TJItem", item->ItemCode);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front().Action, CatalogueHistory::kInsert);
  EXPECT_EQ(rows.front().OperatorName, "张三");
  EXPECT_EQ(rows.front().UserName, "zhang");
  EXPECT_EQ(rows.front().Source, "TfrmItemEdit");
  EXPECT_EQ(rows.front().EntryKind, "项目");
  EXPECT_EQ(rows.front().ChangedAt.size(), 19u);
  const int64_t inserted = rows.front().ChangeID;

  auto stored = Reloaded(item->ItemCode);
  stored->UnitPrice = 15;
  stored->Save(AsLi());
  rows = HistoryOf("TJItem", item->ItemCode);
  ASSERT_GT(rows.front().ChangeID, inserted);
  EXPECT_EQ(rows.front().FieldName, "UnitPrice");
  EXPECT_EQ(rows.front().OldValue, "12.50");
  EXPECT_EQ(rows.front().NewValue, "15.00");
  EXPECT_EQ(rows.front().OperatorName, "李四");
  EXPECT_EQ(rows[1].ChangeID, inserted) << "only the price changed";

  const long long before = HistoryRows();
  stored->Save(AsLi());
  EXPECT_EQ(HistoryRows(), before) << "a save that changes nothing records nothing";

  stored->Remove(AsZhang());
  rows = HistoryOf("TJItem", item->ItemCode);
  EXPECT_EQ(rows.front().Action, CatalogueHistory::kDelete);
  EXPECT_EQ(rows.front().FieldName, "ItemID");
}

// A refused save, a save the database refuses and a save whose history
// cannot be written all leave neither the change nor any history row.
TEST_P(CatalogueHistoryTest, ARefusedOrFailedSaveLeavesNoRows) {
  auto item = SavedItem("血糖", 12.5);
  SavedItem("尿酸", 8);
  const long long before = HistoryRows();

  auto renamed = Reloaded(item->ItemCode);
  renamed->ItemName = "尿酸";
  EXPECT_THROW(renamed->Save(AsLi()), EWriteRefused);

  auto priced = Reloaded(item->ItemCode);
  priced->UnitPrice = 20;
  db_.RefuseWrites("TJItem", "UPDATE");
  EXPECT_ANY_THROW(priced->Save(AsLi()));
  db_.AllowWrites("TJItem", "UPDATE");
  EXPECT_EQ(HistoryRows(), before);

  db_.RefuseWrites("TJCatalogueHistory", "INSERT");
  EXPECT_ANY_THROW(priced->Save(AsLi()));
  db_.AllowWrites("TJCatalogueHistory", "INSERT");
  EXPECT_EQ(HistoryRows(), before);
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem WHERE UnitPrice > 13"), 0)
      << "the price stays when its history cannot be written";
}

// Two clerks load the same item; the later save is the one the last
// change names.
TEST_P(CatalogueHistoryTest, TheLastChangeNamesTheLaterClerk) {
  auto item = SavedItem("血糖", 12.5);
  auto first = Reloaded(item->ItemCode);
  auto second = Reloaded(item->ItemCode);
  first->UnitPrice = 13;
  first->Save(AsZhang());
  second->ItemUnit = "mmol/L";
  // The later clerk is told of the earlier change (and by whom); saved again
  // from the row as it is now, both changes stand.
  const std::string told = MessageOf<EEntryChanged>([&] { second->Save(AsLi()); });
  EXPECT_NE(told.find("张三"), std::string::npos) << told;
  second->ItemUnit = "mmol/L";
  second->Save(AsLi());
  const auto last = TCatalogueHistory(pool_).LastChange("TJItem", item->ItemCode);
  ASSERT_TRUE(last);
  EXPECT_EQ(last->OperatorName, "李四");
  EXPECT_EQ(last->Action, CatalogueHistory::kUpdate);
  EXPECT_FALSE(TCatalogueHistory(pool_).LastChange("TJItem", "999999"));
}

// Undo of a price change and of a delete restores the row exactly, goes
// through the save's checks and is itself recorded.
TEST_P(CatalogueHistoryTest, UndoRestoresExactlyAndIsRecorded) {
  auto member = SavedItem("血糖", 12.5);
  TCombItem combo(pool_);
  combo.ItemName = "肝功能";
  combo.UnitPrice = 30;
  combo.SetItemsString(member->ItemCode + ";");
  combo.ExcludeItems = member->ItemCode + ";";
  combo.Save(AsZhang());
  const std::string original = StoredRow(combo.ItemCode);

  auto priced = Reloaded(combo.ItemCode);
  priced->UnitPrice = 45;
  priced->Save(AsLi());
  TCatalogueHistory history(pool_);
  history.Undo(history.RowsOf("TJItem", combo.ItemCode).front().ChangeID, AsZhang());
  EXPECT_EQ(StoredRow(combo.ItemCode), original);
  const auto undone = history.LastChange("TJItem", combo.ItemCode);
  ASSERT_TRUE(undone);
  EXPECT_EQ(undone->Source, "TfrmItemEdit 撤销" + std::to_string(undone->ChangeID - 1));

  Reloaded(combo.ItemCode)->Remove(AsLi());
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem WHERE ItemType = 1"), 0);
  const int64_t deleted = history.LastChange("TJItem", combo.ItemCode)->ChangeID;
  history.Undo(deleted, AsZhang());
  EXPECT_EQ(StoredRow(combo.ItemCode), original);
  EXPECT_EQ(history.LastChange("TJItem", combo.ItemCode)->Action, CatalogueHistory::kInsert);
  EXPECT_THROW(history.Undo(deleted, AsZhang()), EWriteRefused) << "it is back already";

  // An undo goes through the save's checks: a user without the add right
  // cannot make a deleted entry again.
  Reloaded(combo.ItemCode)->Remove(AsLi());
  TCurrentUser clerk = Clerk("wang", "王五");
  clerk.Rights.clear();
  EXPECT_ANY_THROW(history.Undo(history.LastChange("TJItem", combo.ItemCode)->ChangeID,
                                {&clerk, "TfrmItemEdit"}));
}

// Undoing a creation deletes the row; the catalogue lets its entry go but
// keeps it alive, since windows (editors, trees, the check set window's
// candidates) may still point at it until they follow the change.
TEST_P(CatalogueHistoryTest, UndoneCreationLeavesTheCatalogueEntryAlive) {
  TItemManager& catalogue = TItemManager::Instance();
  auto created = SavedItem("尿酸", 8);
  const std::string code = created->ItemCode;
  TBaseItem* shown = created.release();
  catalogue.AddItem(shown);  // the item window hands a new entry to the catalogue
  TCatalogueHistory history(pool_);
  history.Undo(history.LastChange("TJItem", code)->ChangeID, AsZhang());
  EXPECT_EQ(db_.QueryInt("SELECT count(*) FROM TJItem WHERE ItemCode = '" + code + "'"), 0);
  EXPECT_EQ(catalogue.FindItem(code), nullptr);
  EXPECT_FALSE(catalogue.Items().Contains(shown));
  // Still the entry it was (a freed one is caught by the sanitized run).
  EXPECT_EQ(shown->ItemCode, code);
  EXPECT_EQ(shown->ItemName, "尿酸");
}

// A process's first write asks the database for its time, and makes sure of
// the history table, in the database's own words first: nothing refused,
// which would leave an error in a server's log at every start of a program.
TEST_P(CatalogueHistoryTest, TheFirstWriteAsksTheDatabaseInItsOwnWords) {
  auto sent = TStatementCounter::Sent();
  SavedItem("血糖", 12.5);
  const auto first = TStatementCounter::Sent() - sent;
  sent = TStatementCounter::Sent();
  SavedItem("尿酸", 8);
  const auto second = TStatementCounter::Sent() - sent;
  // The same on every database: the time asked, the table looked at and the
  // first raise of the stamp, each under a savepoint. A refused try would
  // add itself, the check of the link that follows a failure, and a
  // rollback.
  EXPECT_EQ(first - second, 8u);
}

// Categories and tubes are recorded the same way; a database made before
// the history table gets it on its first write.
TEST_P(CatalogueHistoryTest, CategoriesTubesAndOlderDatabases) {
  db_.Exec("DROP TABLE TJCatalogueHistory");
  TCategory category(pool_);
  category.CateName = "检验科";
  category.Save(AsZhang());
  TSampleGroup tube(pool_);
  tube.SampleTypeID = 1;
  tube.GroupName = "红管";
  tube.Save(AsZhang());
  tube.GroupName = "紫管";
  tube.Save(AsLi());
  TCatalogueHistory history(pool_);
  EXPECT_EQ(history.RowsOf("TJCategories", category.CateCode).front().EntryKind, "类别");
  const auto rows = history.RowsOf("TJSampleGroup", std::to_string(tube.GroupID));
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front().FieldName, "GroupName");
  EXPECT_EQ(rows.front().OldValue, "红管");
  EXPECT_EQ(rows.front().NewValue, "紫管");

  std::ostringstream csv;
  THistoryFilter filter;
  filter.EntryKind = "试管";
  history.WriteCsv(csv, filter, false);
  const std::string text = csv.str();
  EXPECT_EQ(text.rfind("修改号,时间,操作员", 0), 0u);
  EXPECT_NE(text.find(",紫管\r\n"), std::string::npos);
  EXPECT_EQ(text.find("检验科"), std::string::npos) << "only the tubes";
}

// The history window's filters, on rows of known times: a date range takes
// its end day whole, the operator, the kind and a part of a code or name
// narrow it, and % and _ typed into the code or name are plain characters.
TEST_P(CatalogueHistoryTest, TheFilterNarrowsTheRowsInOneQuery) {
  const char8_t* rows[][6] = {
      {u8"1", u8"2026-02-28 23:59:59", u8"李四", u8"类别", u8"01", u8"检验"},
      {u8"2", u8"2026-03-01 00:00:00", u8"张三", u8"项目", u8"0101", u8"血_糖"},
      {u8"3", u8"2026-03-31 23:59:59", u8"李四", u8"套餐", u8"9001", u8"入职体检"},
      {u8"4", u8"2026-04-01 00:00:00", u8"张三", u8"项目", u8"0102", u8"血糖100%"}};
  for (const auto& row : rows)
    db_.Exec(U8(u8"INSERT INTO TJCatalogueHistory (ChangeID, Seq, ChangedAt, OperatorName, "
                u8"UserName, Source, TableName, EntryKind, EntryCode, EntryName, Action, "
                u8"FieldName, OldValue, NewValue) VALUES (") +
             U8(row[0]) + ", 1, '" + U8(row[1]) + "', '" + U8(row[2]) + "', 'u', 'T', 'TJItem', '" +
             U8(row[3]) + "', '" + U8(row[4]) + "', '" + U8(row[5]) +
             U8(u8"', '修改', 'UnitPrice', '1', '2')"));
  struct TCase {
    THistoryFilter filter;
    std::vector<int64_t> changes;
  };
  auto filter = [](auto&& set) {
    THistoryFilter f;
    set(f);
    return f;
  };
  const TCase cases[] = {
      {filter([](auto& f) {
         f.Since = "2026-03-01";
         f.Until = "2026-03-31";
       }),
       {3, 2}},
      {filter([](auto& f) { f.Until = "2026-02-28"; }), {1}},
      {filter([](auto& f) { f.Since = "2026-04-01"; }), {4}},
      {filter([](auto& f) { f.OperatorName = "李四"; }), {3, 1}},
      {filter([](auto& f) { f.EntryKind = "项目"; }), {4, 2}},
      {filter([](auto& f) { f.CodeOrName = "血"; }), {4, 2}},
      {filter([](auto& f) { f.CodeOrName = "010"; }), {4, 2}},
      {filter([](auto& f) { f.CodeOrName = "_"; }), {2}},
      {filter([](auto& f) { f.CodeOrName = "%"; }), {4}},
      {filter([](auto& f) { f.CodeOrName = "体检"; }), {3}},
      {filter([](auto& f) {
         f.OperatorName = "张三";
         f.Since = "2026-03-02";
       }),
       {4}},
  };
  TCatalogueHistory history(pool_);
  for (size_t i = 0; i < std::size(cases); ++i) {
    std::vector<int64_t> found;
    for (const THistoryRow& row : history.Rows(cases[i].filter)) found.push_back(row.ChangeID);
    EXPECT_EQ(found, cases[i].changes) << "case " << i;
  }
  EXPECT_EQ(history.Operators(), (std::vector<std::string>{"李四", "张三"}));
}

}  // namespace

#include <fstream>

#include "TDataSet.h"
#include "TestServer.h"

namespace {

// On the server, as the server logs them: the statements one save and one
// delete send, and how many of them are the history's (one each).
class HistoryStatementsTest : public CatalogueHistoryTest {
 protected:
  struct TCount {
    int all = 0;
    int history = 0;
  };
  // The lines the server logged for session `pid` since `from` (a size of
  // the log file).
  static TCount LoggedSince(std::streamoff from, long long pid) {
    std::ifstream log(TestServer::Instance().SocketFolder() + "/server.log");
    log.seekg(from);
    TCount count;
    const std::string session = "[" + std::to_string(pid) + "]";
    for (std::string line; std::getline(log, line);) {
      if (line.find(session) == std::string::npos) continue;
      if (line.find("statement: ") == std::string::npos &&
          line.find("execute ") == std::string::npos)
        continue;
      ++count.all;
      if (line.find("TJCatalogueHistory") != std::string::npos) ++count.history;
    }
    return count;
  }
  static std::streamoff LogSize() {
    std::ifstream log(TestServer::Instance().SocketFolder() + "/server.log", std::ios::ate);
    return log.tellg();
  }
};

TESMIRA_BACKENDS(HistoryStatementsTest, TestBackend::Postgres);

TEST_P(HistoryStatementsTest, ASaveSendsOneHistoryStatement) {
  auto item = SavedItem("血糖", 12.5);  // the first write prepares the tables
  TItem probe(pool_);
  probe.OpenSQL("SELECT pg_backend_pid() AS p, set_config('log_statement', 'all', false) AS s");
  const long long pid = probe.GetDataSet()->Fields(0).AsInteger();

  std::streamoff from = LogSize();
  auto inserted = SavedItem("尿酸", 8);
  const TCount insert = LoggedSince(from, pid);
  from = LogSize();
  auto stored = Reloaded(item->ItemCode);
  from = LogSize();
  stored->UnitPrice = 20;
  stored->Save(AsLi());
  const TCount update = LoggedSince(from, pid);
  from = LogSize();
  stored->Remove(AsLi());
  const TCount remove = LoggedSince(from, pid);
  probe.OpenSQL("SELECT set_config('log_statement', 'none', false) AS s");

  std::cout << "statements per write on the server (all / history): insert " << insert.all << " / "
            << insert.history << ", update " << update.all << " / " << update.history << ", delete "
            << remove.all << " / " << remove.history << "\n";
  EXPECT_EQ(insert.history, 1);
  EXPECT_EQ(update.history, 1);
  EXPECT_EQ(remove.history, 1);
}

}  // namespace
