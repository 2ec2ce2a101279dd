// window_open: the item window and the combination item window opened in
// turn through the window registry (offscreen Qt) on a large catalogue, each
// until it is shown with its tree built, against the raw sqlite3 read of the
// same TJItem rows in the same run. Every open starts cold, as the first open
// of a host session does: no catalogue, category list or lookup loaded.
// The catalogue: 500 categories, 50 000 items, 5 000 combination items of 10
// members and 500 check sets of 10 combination items, made once per run.
// The ratio is the slower window's median against the raw read's median.
#include <sqlite3.h>

#include <QApplication>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "BenchWindows.h"
#include "DomainObjects.h"
#include "RecordingHost.h"
#include "TLibraryApplication.h"
#include "TMDIChild.h"
#include "TPromptService.h"
#include "TestDatabase.h"
#include "WindowRegistry.h"

using namespace BenchSupport;
using namespace BenchWindows;
using namespace BenchSupport::WindowCatalogue;

namespace {

constexpr int kRounds = 5;

void Exec(sqlite3* raw, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(raw, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "%s\n", error);
    sqlite3_free(error);
  }
}

void FillCategories(sqlite3* raw) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(raw,
                     "insert into TJCategories (CateID, CateCode, CateName, DispOrder, IsInUse) "
                     "values (?1, printf('%04d', ?1), ?2 || ?1, ?1, 1)",
                     -1, &st, nullptr);
  for (int i = 1; i <= kCategories; ++i) {
    sqlite3_bind_int(st, 1, i);
    sqlite3_bind_text(st, 2, Utf8(u8"检验类别"), -1, SQLITE_STATIC);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
}

// Items first, then the combination items, then the check sets; every row
// filled, every item and combination item in one of the categories.
void FillItems(sqlite3* raw) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(raw,
                     "insert into TJItem values (?1, printf('%06d', ?1), ?2 || ?1, 'ZDY' || ?1, "
                     "'XCG' || ?1, 'GJT' || ?1, 'A' || ?1, ?1 % 50, ?1 % 1000, ?3, ?4, 1, 1, 0, "
                     "'mmol/L', '3.9', '6.1', '20', '0', ?5, ?1 % 2, 3, ?6, 12.5 + (?1 % 7), "
                     "?2 || ?1, ?7, ?8, ?9, ?10, ?11, 1, 0, '0.00', '', ?1 % 5)",
                     -1, &st, nullptr);
  const char* sexes[] = {Utf8(u8"男"), Utf8(u8"女"), Utf8(u8"不限")};
  MemberTexts members(kMembers);
  for (int i = 1; i <= kRows; ++i) {
    const int type = i <= kItems ? 0 : (i <= kItems + kCombos ? 1 : 2);
    const std::string text = type == 0   ? std::string()
                             : type == 1 ? members.Next(1, kItems)
                                         : members.Next(kItems + 1, kCombos);
    const char* name = type == 0   ? Utf8(u8"血常规检查")
                       : type == 1 ? Utf8(u8"组合项目")
                                   : Utf8(u8"体检套餐");
    sqlite3_bind_int(st, 1, i);
    sqlite3_bind_text(st, 2, name, -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 3, Utf8(u8"偏低"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 4, Utf8(u8"偏高"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 5, Utf8(u8"未见明显异常"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 6, sexes[i % 3], -1, SQLITE_STATIC);
    sqlite3_bind_int(st, 7, type == 2 ? 0 : 1 + i % kCategories);
    sqlite3_bind_text(st, 8, Utf8(u8"检验科"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 9, Utf8(u8"化验费"), -1, SQLITE_STATIC);
    sqlite3_bind_int(st, 10, type);
    sqlite3_bind_text(st, 11, text.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(st) != SQLITE_DONE) std::fprintf(stderr, "%s\n", sqlite3_errmsg(raw));
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
}

void Fill(const std::string& path) {
  sqlite3* raw = nullptr;
  sqlite3_open(path.c_str(), &raw);
  Exec(raw, "BEGIN");
  FillCategories(raw);
  FillItems(raw);
  Exec(raw, "COMMIT");
  sqlite3_close(raw);
}

// Opens the window cold (no domain object left from an earlier open), as
// the host does through CreateMDIChild, until it is shown; then closes it.
double OpenCold(RecordingHost& host, const char* className, int& nodes) {
  DomainObjects::ReleaseProcessObjects();
  const auto start = std::chrono::steady_clock::now();
  TMDIChild* window = WindowRegistry::CreateMDIChild(className, &host);
  ProcessPendingEvents();
  const double ms = Millis(std::chrono::steady_clock::now() - start);
  if (!window || !window->Frame()->isVisible()) {
    std::fprintf(stderr, "%s did not open\n", className);
    return ms;
  }
  nodes = TreeNodes(window->Frame());
  delete window->Frame();
  ProcessPendingEvents();
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  TPromptService::SetScripted(true);

  TestDatabase db;
  Fill(db.Path());
  db.UseAsLibraryPool(1, 2);
  RecordingHost host;
  host.User.UserName = "Chief";  // every right: every button as a clerk sees it
  BenchApplication app;
  WindowRegistry::Startup();
  WindowRegistry::InitDLL(&app, &host, nullptr);

  std::vector<double> raw, items, combos;
  int itemNodes = 0, comboNodes = 0;
  for (int round = 0; round < kRounds; ++round) {
    raw.push_back(Timed([&] { RawCatalogueRead(db.Path()); }));
    items.push_back(OpenCold(host, "TfrmItemEdit", itemNodes));
    combos.push_back(OpenCold(host, "TfrmCombItem", comboNodes));
  }
  DomainObjects::ReleaseProcessObjects();
  WindowRegistry::InitDLL(nullptr, nullptr, nullptr);
  WindowRegistry::Shutdown();

  const double rawMs = Median(raw);
  const double slower = std::max(Median(items), Median(combos));
  std::printf(
      "window_open: ratio=%.2f (cold open through the registry until shown with the tree built, "
      "on %d categories, %d items, %d combination items of %d and %d check sets of %d: item "
      "window %.1f ms (%d tree nodes), combination item window %.1f ms (%d tree nodes); the "
      "slower against the raw sqlite3 read of the same %d TJItem rows: %.1f ms; medians of %d "
      "rounds)\n",
      slower / rawMs, kCategories, kItems, kCombos, kMembers, kSets, kMembers, Median(items),
      itemNodes, Median(combos), comboNodes, kRows, rawMs, kRounds);
  return 0;
}
