// window_open_server: the item window and the combination item window
// opened cold through the window registry (offscreen Qt) on the live
// PostgreSQL server of the test support, through ODBC, on the catalogue of
// window_open (500 categories, 50 000 items, 5 000 combination items, 500
// check sets), each until it is shown with its tree built; against the raw
// ODBC read of the same TJItem rows on the same server
// (SQLExecDirect + SQLFetch, each cell read as text, no conversion, no
// order: the library orders on the client; the server's own order is
// measured as well, sorted and through an expression index). Each
// window's statements per open are counted at the statement layer
// (TStatementCounter). A second pass runs through a relay on the loopback
// that holds every chunk 1 ms each way, and prints what a millisecond of
// round trip adds to each open. Medians of a few rounds; the catalogue is
// made once per run. Skipped (exit 0) when the server cannot start.
#include <QApplication>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchServer.h"
#include "BenchSupport.h"
#include "BenchWindows.h"
#include "DomainObjects.h"
#include "RecordingHost.h"
#include "TDBConnPool.h"
#include "TLibraryApplication.h"
#include "TMDIChild.h"
#include "TPromptService.h"
#include "TStatementCounter.h"
#include "TestDatabase.h"
#include "TestRelay.h"
#include "TestServer.h"
#include "WindowRegistry.h"

using namespace BenchSupport;
using namespace BenchServer;
using namespace BenchWindows;

namespace {

constexpr int kRounds = 5;
constexpr int kDelayRounds = 3;
constexpr int kDelayMicros = 1000;

// The rows of the item window's catalogue read, as a raw read takes them
// (no order: the library orders them on the client, TClientOrder).
const char* const kCatalogueRead = "Select * from TJItem Where 1=1";
// The same in the windows' order computed by the server: what the name
// order cost before it moved to the client, with and without an expression
// index on the order keys.
const char* const kServerOrderedRead =
    "Select * from TJItem Where 1=1 Order By tesmira_gbk(ItemType), tesmira_gbk(ItemName)";
const char* const kOrderIndex =
    "create index IX_TJItem_GbkOrder on TJItem (tesmira_gbk(ItemType), tesmira_gbk(ItemName))";

struct Open {
  double Ms = 0;
  int Statements = 0;
  int Nodes = 0;
};

// One cold open (no domain object left from an earlier open), until shown.
Open OpenCold(RecordingHost& host, const char* className) {
  DomainObjects::ReleaseProcessObjects();
  Open open;
  const auto sent = TStatementCounter::Sent();
  const auto start = std::chrono::steady_clock::now();
  TMDIChild* window = WindowRegistry::CreateMDIChild(className, &host);
  ProcessPendingEvents();
  open.Ms = Millis(std::chrono::steady_clock::now() - start);
  open.Statements = static_cast<int>(TStatementCounter::Sent() - sent);
  if (!window || !window->Frame()->isVisible()) {
    std::fprintf(stderr, "%s did not open\n", className);
    return open;
  }
  open.Nodes = TreeNodes(window->Frame());
  delete window->Frame();
  ProcessPendingEvents();
  return open;
}

struct Pass {
  std::vector<double> Raw, Items, Combos;
  Open Item, Combo;
};

Pass Measure(RecordingHost& host, RawOdbc& raw, int rounds) {
  Pass pass;
  for (int round = 0; round < rounds; ++round) {
    pass.Raw.push_back(Timed([&] { raw.Read(kCatalogueRead); }));
    pass.Item = OpenCold(host, "TfrmItemEdit");
    pass.Items.push_back(pass.Item.Ms);
    pass.Combo = OpenCold(host, "TfrmCombItem");
    pass.Combos.push_back(pass.Combo.Ms);
  }
  return pass;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!ServerOrSkip("window_open_server")) return 0;
  QApplication qt(argc, argv);
  TPromptService::SetScripted(true);

  TestDatabase db(TestBackend::Postgres);
  FillCatalogue(db);
  LogStatements(db);
  TDBConnPool* pool = db.UseAsLibraryPoolThrough(TestBackend::Postgres, 1, 2);
  RecordingHost host;
  host.User.UserName = "Chief";
  BenchApplication app;
  WindowRegistry::Startup();
  WindowRegistry::InitDLL(&app, &host, nullptr);

  RawOdbc raw(db.Path());
  const Pass direct = Measure(host, raw, kRounds);

  // The same through a relay that holds each chunk 1 ms each way.
  const TestServer& server = TestServer::Instance();
  TestRelay relay(server.SocketFolder() + "/.s.PGSQL." + std::to_string(server.Port()));
  relay.SetDelay(std::chrono::microseconds(kDelayMicros));
  pool->CloseConnections();
  pool->SetSchema("127.0.0.1," + std::to_string(relay.Port()));
  RawOdbc rawDelayed(db.Path(), relay.Port());
  const Pass delayed = Measure(host, rawDelayed, kDelayRounds);

  // The server's own order, for the figures of the order choice.
  std::vector<double> sorted, indexed;
  for (int round = 0; round < kDelayRounds; ++round)
    sorted.push_back(Timed([&] { raw.Read(kServerOrderedRead); }));
  db.Exec(kOrderIndex);
  db.Exec("analyze TJItem");
  for (int round = 0; round < kDelayRounds; ++round)
    indexed.push_back(Timed([&] { raw.Read(kServerOrderedRead); }));

  DomainObjects::ReleaseProcessObjects();
  WindowRegistry::InitDLL(nullptr, nullptr, nullptr);
  WindowRegistry::Shutdown();
  CopyStatementLog();

  const double rawMs = Median(direct.Raw);
  const double slower = std::max(Median(direct.Items), Median(direct.Combos));
  // A round trip through the relay costs 2 ms more than a direct one.
  const double perMs = 2.0 * kDelayMicros / 1000.0;
  std::printf(
      "window_open_server: ratio=%.2f (cold open through ODBC on the PostgreSQL test server until "
      "shown with the tree built, %d items, %d combination items, %d check sets: item window "
      "%.1f ms, %d statements, %d tree nodes; combination item window %.1f ms, %d statements, %d "
      "tree nodes; the slower against the raw ODBC read of the same %d rows: %.1f ms; medians of "
      "%d rounds. Through a relay adding %d us each way: item %.1f ms, combination %.1f ms, raw "
      "%.1f ms, so each ms of round trip adds %.1f ms (item), %.1f ms (combination), %.1f ms "
      "(raw read). The raw read ordered by the server (tesmira_gbk keys): %.1f ms sorted, %.1f "
      "ms through an expression index on the keys)\n",
      slower / rawMs, kItems, kCombos, kSets, Median(direct.Items), direct.Item.Statements,
      direct.Item.Nodes, Median(direct.Combos), direct.Combo.Statements, direct.Combo.Nodes, kRows,
      rawMs, kRounds, kDelayMicros, Median(delayed.Items), Median(delayed.Combos),
      Median(delayed.Raw), (Median(delayed.Items) - Median(direct.Items)) / perMs,
      (Median(delayed.Combos) - Median(direct.Combos)) / perMs,
      (Median(delayed.Raw) - rawMs) / perMs, Median(sorted), Median(indexed));
  return 0;
}
