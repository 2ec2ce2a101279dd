// exchange_import: CatalogueExchange::ImportCsv of a file of 50 000
// examination items into an empty catalogue (preview, then apply), against
// the raw sqlite3 inserts of the same rows in one transaction; also the
// preview time of a 5 000-row file. Rows: kind, code, name, category,
// price, display order (given, as an export gives it).
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

double RawInserts(int rows) {
  TestDatabase db;
  sqlite3* raw = nullptr;
  sqlite3_open(db.Path().c_str(), &raw);
  const double ms = Timed([&] {
    sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
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

double Import(int rows, bool dryRun) {
  TestDatabase db;
  db.UseAsLibraryPool();
  const std::string file = File(rows);
  TExchangeOptions options;
  options.DryRun = dryRun;
  const double ms = Timed([&] { CatalogueExchange::ImportCsv(file, options); });
  DomainObjects::ReleaseProcessObjects();
  return ms;
}

}  // namespace

int main() {
  const char* env = std::getenv("TESMIRA_BENCH_EXCHANGE_ROWS");
  const int rows = env ? std::atoi(env) : 50000;
  const double raw = RawInserts(rows);
  const double preview = Import(rows, true);
  const double apply = Import(rows, false);
  std::printf(
      "exchange_import: ratio=%.1f (apply of %d items %.0f ms / raw inserts %.0f ms; "
      "preview %.0f ms)\n",
      apply / raw, rows, apply, raw, preview);
  // A quick run with a row count of its own leaves the fixed-size line out.
  if (!env) std::printf("exchange_preview_5000: %.0f ms\n", Import(5000, true));
  return 0;
}
