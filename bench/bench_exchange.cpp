// exchange_import: CatalogueExchange::ImportCsv of a file of 50 000
// examination items into an empty catalogue (preview, then apply), against
// the raw sqlite3 inserts of the same rows in one transaction; also the
// preview time of a 5 000-row file. Rows: kind, code, name, category,
// price, display order (given, as an export gives it). A second baseline
// inserts, raw, the items together with the history rows the apply wrote
// (read back from its database), to show what recording the change costs.
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "CatalogueExchange.h"
#include "DomainObjects.h"
#include "TestDatabase.h"

using namespace BenchSupport;

namespace {

std::string File(int rows) {
  std::string text = "种类,编号,名称,类别,单价,显示顺序\r\n类别,,检验,,,0\r\n";
  for (int i = 1; i <= rows; ++i)
    text += "项目," + Code(i) + ",项目" + std::to_string(i) + ",检验," + std::to_string(i % 90) +
            ".50," + std::to_string(i) + "\r\n";
  return text;
}

using HistoryRow = std::vector<std::string>;

// The history rows in `path`, every column as text (the numbers too).
std::vector<HistoryRow> HistoryIn(const std::string& path) {
  sqlite3* raw = nullptr;
  sqlite3_open(path.c_str(), &raw);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(raw, "select * from TJCatalogueHistory", -1, &st, nullptr);
  std::vector<HistoryRow> rows;
  while (sqlite3_step(st) == SQLITE_ROW) {
    HistoryRow& row = rows.emplace_back();
    for (int c = 0; c < sqlite3_column_count(st); ++c) {
      const auto* text = sqlite3_column_text(st, c);
      row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
    }
  }
  sqlite3_finalize(st);
  sqlite3_close(raw);
  return rows;
}

void InsertHistory(sqlite3* raw, const std::vector<HistoryRow>& history) {
  if (history.empty()) return;
  std::string sql = "insert into TJCatalogueHistory values (?";
  for (size_t c = 1; c < history.front().size(); ++c) sql += ", ?";
  sql += ")";
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(raw, sql.c_str(), -1, &st, nullptr);
  for (const HistoryRow& row : history) {
    sqlite3_bind_int64(st, 1, std::stoll(row[0]));
    sqlite3_bind_int64(st, 2, std::stoll(row[1]));
    for (size_t c = 2; c < row.size(); ++c)
      sqlite3_bind_text(st, static_cast<int>(c + 1), row[c].c_str(), -1, SQLITE_STATIC);
    if (sqlite3_step(st) != SQLITE_DONE) {
      std::fprintf(stderr, "exchange_import: raw history insert failed: %s\n", sqlite3_errmsg(raw));
      std::exit(1);
    }
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
}

double RawInserts(int rows, const std::vector<HistoryRow>& history = {}) {
  TestDatabase db;
  sqlite3* raw = nullptr;
  sqlite3_open(db.Path().c_str(), &raw);
  const double ms = Timed([&] {
    sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
    InsertHistory(raw, history);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw,
                       "insert into TJItem (ItemID, ItemCode, ItemName, CateId, CateName, "
                       "UnitPrice, DispOrder) values (?1, printf('%06d', ?1), 'x' || ?1, 1, 'c', "
                       "?1 % 90 + 0.5, ?1)",
                       -1, &st, nullptr);
    for (int i = 1; i <= rows; ++i) {
      sqlite3_bind_int(st, 1, i);
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
  });
  sqlite3_close(raw);
  return ms;
}

// The import's time; `history` receives the history rows it left.
double Import(int rows, bool dryRun, std::vector<HistoryRow>* history = nullptr) {
  TestDatabase db;
  db.UseAsLibraryPool();
  const std::string file = File(rows);
  TExchangeOptions options;
  options.DryRun = dryRun;
  const double ms = Timed([&] { CatalogueExchange::ImportCsv(file, options); });
  DomainObjects::ReleaseProcessObjects();
  if (history) *history = HistoryIn(db.Path());
  return ms;
}

}  // namespace

int main() {
  const char* env = std::getenv("TESMIRA_BENCH_EXCHANGE_ROWS");
  const int rows = env ? std::atoi(env) : 50000;
  const double raw = RawInserts(rows);
  const double preview = Import(rows, true);
  std::vector<HistoryRow> history;
  const double apply = Import(rows, false, &history);
  const double rawWithHistory = RawInserts(rows, history);
  std::printf(
      "exchange_import: ratio=%.1f (apply of %d items %.0f ms / raw inserts %.0f ms; "
      "preview %.0f ms; raw inserts with the %zu history rows the apply wrote %.0f ms, "
      "apply against those %.1f)\n",
      apply / raw, rows, apply, raw, preview, history.size(), rawWithHistory,
      apply / rawWithHistory);
  // A quick run with a row count of its own leaves the fixed-size line out.
  if (!env) std::printf("exchange_preview_5000: %.0f ms\n", Import(5000, true));
  return 0;
}
