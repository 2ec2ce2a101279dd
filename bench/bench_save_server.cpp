// save_server: the save of one item and of one combination item through
// the domain's one write path (TDBObject::Save: transaction, change stamp,
// checks, update, history, commit) on the live PostgreSQL server of the
// test support, through ODBC, on the catalogue of window_open; against the
// raw single UPDATE of the same row through ODBC. The entries are read
// once; each round changes the price and saves. Each save's statements are
// counted at the statement layer (TStatementCounter). Medians of a few
// rounds; the slower save against the raw update. Skipped (exit 0) when the
// server cannot start.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchServer.h"
#include "BenchSupport.h"
#include "DomainObjects.h"
#include "TCombItem.h"
#include "TCurrentUser.h"
#include "TItem.h"
#include "TSingleComm.h"
#include "TStatementCounter.h"
#include "TWriteRules.h"
#include "TestDatabase.h"

using namespace BenchSupport;
using namespace BenchServer;

namespace {

constexpr int kRounds = 15;

struct Saves {
  std::vector<double> Ms;
  int Statements = 0;
};

// Saves `entry` `kRounds` times, each with a new price.
Saves SaveRounds(TDBObject& entry, double& price, const TWriteContext& context) {
  Saves saves;
  for (int round = 0; round < kRounds; ++round) {
    price += 1;
    const auto sent = TStatementCounter::Sent();
    saves.Ms.push_back(Timed([&] {
      if (auto* item = dynamic_cast<TBaseItem*>(&entry)) item->UnitPrice = price;
      entry.Save(context);
    }));
    saves.Statements = static_cast<int>(TStatementCounter::Sent() - sent);
  }
  return saves;
}

}  // namespace

int main() {
  if (!ServerOrSkip("save_server")) return 0;
  TestDatabase db(TestBackend::Postgres);
  FillCatalogue(db);
  LogStatements(db);
  db.UseAsLibraryPoolThrough(TestBackend::Postgres, 1, 2);
  TBaseDBConnPool* pool = TSingleComm::Instance().GetConnPool();

  TCurrentUser user;
  user.UserName = "bench";
  user.Rights = {{"TJXT202001"}, {"TJXT203001"}, {"TJXT201001"}};
  user.Operator.OperatorName = "bench";
  const TWriteContext itemContext{&user, "TfrmItemEdit"};
  const TWriteContext comboContext{&user, "TfrmCombItem"};

  TItem item(pool);
  item.ItemCode = Code(kItems / 2);
  TCombItem combo(pool);
  combo.ItemCode = Code(kItems + kCombos / 2);
  if (item.Find() != 0 || combo.Find() != 0) {
    std::fprintf(stderr, "save_server: the entries were not found\n");
    return 1;
  }
  double price = 20;
  const Saves items = SaveRounds(item, price, itemContext);
  const Saves combos = SaveRounds(combo, price, comboContext);

  RawOdbc raw(db.Path());
  std::vector<double> updates;
  for (int round = 0; round < kRounds; ++round) {
    price += 1;
    updates.push_back(Timed([&] {
      raw.Exec("UPDATE TJItem SET UnitPrice = " + std::to_string(price) + " WHERE ItemCode = '" +
               Code(kItems / 2) + "'");
    }));
  }
  DomainObjects::ReleaseProcessObjects();
  CopyStatementLog();

  const double rawMs = Median(updates);
  const double slower = std::max(Median(items.Ms), Median(combos.Ms));
  std::printf(
      "save_server: ratio=%.2f (save through the write path on the PostgreSQL test server "
      "through ODBC, %d items in the catalogue: item %.2f ms, %d statements; combination item "
      "%.2f ms, %d statements; the slower against the raw single UPDATE through ODBC: %.2f ms; "
      "medians of %d rounds)\n",
      slower / rawMs, kItems, Median(items.Ms), items.Statements, Median(combos.Ms),
      combos.Statements, rawMs, kRounds);
  return 0;
}
