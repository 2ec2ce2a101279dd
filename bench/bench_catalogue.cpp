// catalogue_load: TItemManager::Instance() over 100 000 TJItem rows (35
// columns, all filled), against the raw sqlite3 read of the same rows; also
// the resident memory the catalogue takes per item.
// compose: TItemManager::LoadItems() on a catalogue holding 10 000
// combination items of 10 members and 1 000 check sets of 10 combination
// items, against a plain hash-map pass over the same member texts.
// Both measured in the same run, medians of a few rounds.
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "BenchSupport.h"
#include "TItemManager.h"
#include "TestDatabase.h"

using namespace BenchSupport;

namespace {

constexpr int kRows = 100000;
constexpr int kCombos = 10000;
constexpr int kSets = 1000;
constexpr int kMembers = 10;
constexpr int kItems = kRows - kCombos - kSets;
constexpr int kRounds = 3;

// Items 1..kItems, then the combination items, then the check sets.
void Fill(TestDatabase& db) {
  sqlite3* raw = nullptr;
  sqlite3_open(db.Path().c_str(), &raw);
  sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(raw,
                     "insert into TJItem values (?1, printf('%06d', ?1), ?2 || ?1, 'ZDY' || ?1, "
                     "'XCG' || ?1, 'GJT' || ?1, 'A' || ?1, ?1 % 50, ?1 % 1000, ?3, ?4, 1, 1, 0, "
                     "'mmol/L', '3.9', '6.1', '20', '0', ?5, ?1 % 2, 3, ?6, 12.5 + (?1 % 7), "
                     "?2 || '标准', ?1 % 20, ?7, ?8, ?9, ?10, 1, 0, '0.00', '000009;', ?1 % 5)",
                     -1, &st, nullptr);
  const char* sexes[] = {Utf8(u8"男"), Utf8(u8"女"), Utf8(u8"不限")};
  MemberTexts members(kMembers);
  for (int i = 1; i <= kRows; ++i) {
    const int type = i <= kItems ? 0 : (i <= kItems + kCombos ? 1 : 2);
    const std::string text = type == 0   ? std::string()
                             : type == 1 ? members.Next(1, kItems)
                                         : members.Next(kItems + 1, kCombos);
    sqlite3_bind_int(st, 1, i);
    sqlite3_bind_text(st, 2, Utf8(u8"血常规检查"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 3, Utf8(u8"偏低"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 4, Utf8(u8"偏高"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 5, Utf8(u8"未见明显异常"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 6, sexes[i % 3], -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 7, Utf8(u8"检验科"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 8, Utf8(u8"化验费"), -1, SQLITE_STATIC);
    sqlite3_bind_int(st, 9, type);
    sqlite3_bind_text(st, 10, text.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(raw);
}

long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

void DropCatalogue() {
  TItemManager* catalogue = TItemManager::AccessInstance(0);
  TItemManager::AccessInstance(2);
  delete catalogue;
}

// The baseline of compose: the member texts split and looked up in a hash
// map of the codes, one resolved list per composite.
double HashMapPass(const TItemManager& catalogue) {
  std::vector<std::pair<const TBaseItem*, std::string>> texts;
  for (const TBaseItem* entry : catalogue.Items())
    if (entry->ItemType != 0) texts.emplace_back(entry, entry->GetItemsString());
  size_t resolved = 0;
  const double ms = Timed([&] {
    std::unordered_map<std::string, const TBaseItem*> byCode;
    byCode.reserve(catalogue.Items().Count());
    for (const TBaseItem* entry : catalogue.Items()) byCode.emplace(entry->ItemCode, entry);
    std::vector<const TBaseItem*> members;
    for (const auto& [composite, text] : texts) {
      members.clear();
      size_t start = 0;
      while (start < text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        auto found = byCode.find(text.substr(start, end - start));
        if (found != byCode.end() &&
            std::find(members.begin(), members.end(), found->second) == members.end())
          members.push_back(found->second);
        start = end + 1;
      }
      resolved += members.size();
    }
  });
  if (resolved == 0) std::fprintf(stderr, "no members resolved\n");
  return ms;
}

}  // namespace

int main() {
  TestDatabase db;
  Fill(db);
  db.UseAsLibraryPool(1, 2);

  std::vector<double> raw, load, plain, compose;
  long bytesPerItem = 0;
  for (int round = 0; round < kRounds; ++round) {
    raw.push_back(Timed([&] { RawCatalogueRead(db.Path()); }));
    const long before = ResidentBytes();
    load.push_back(Timed([] { TItemManager::Instance(); }));
    if (round == 0) bytesPerItem = (ResidentBytes() - before) / kRows;
    TItemManager& catalogue = TItemManager::Instance();
    if (catalogue.Items().Count() != kRows) std::fprintf(stderr, "unexpected catalogue size\n");
    plain.push_back(HashMapPass(catalogue));
    compose.push_back(Timed([&] { catalogue.LoadItems(); }));
    DropCatalogue();
  }

  std::printf(
      "catalogue_load: ratio=%.2f (TItemManager::Instance() over %d TJItem rows x 35 columns: "
      "%.1f ms, against the raw sqlite3 read of the same rows: %.1f ms; medians of %d rounds; "
      "resident memory %ld bytes per catalogue item)\n",
      Median(load) / Median(raw), kRows, Median(load), Median(raw), kRounds, bytesPerItem);
  std::printf(
      "compose: ratio=%.2f (TItemManager::LoadItems() for %d combination items of %d members "
      "and %d check sets of %d: %.1f ms, against a plain hash-map pass over the same member "
      "texts: %.1f ms; medians of %d rounds)\n",
      Median(compose) / Median(plain), kCombos, kMembers, kSets, kMembers, Median(compose),
      Median(plain), kRounds);
  return 0;
}
