// dataset_open: SELECT * FROM TJItem over 100 000 rows (35 columns, all
// filled) opened into a TDataSet with every field read once as text, against
// the same rows read with the raw sqlite3 C API, in the same run.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "IDBOperator.h"
#include "TComPtr.h"
#include "TDBConnPool.h"
#include "TDataSet.h"
#include "TDataSetImpl.h"
#include "TestDatabase.h"
#include "ThreadId.h"

using namespace BenchSupport;

namespace {

constexpr int kRows = 100000;
constexpr int kRounds = 5;

void Fill(TestDatabase& db) {
  sqlite3* raw = nullptr;
  sqlite3_open(db.Path().c_str(), &raw);
  sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(raw,
                     "insert into TJItem values (?1, printf('%06d', ?1), ?2 || ?1, 'ZDY' || ?1, "
                     "'XCG' || ?1, 'GJT' || ?1, 'A' || ?1, ?1 % 50, ?1 % 1000, ?3, ?4, 1, 1, 0, "
                     "'mmol/L', '3.9', '6.1', '20', '0', ?5, ?1 % 2, 3, ?6, 12.5 + (?1 % 7), "
                     "?2 || ?9, ?1 % 20, ?7, ?8, ?1 % 3, '000001,000002,000003', 1, 0, "
                     "'0.00', '000009', ?1 % 5)",
                     -1, &st, nullptr);
  const char* sexes[] = {Utf8(u8"男"), Utf8(u8"女"), Utf8(u8"不限")};
  for (int i = 1; i <= kRows; ++i) {
    sqlite3_bind_int(st, 1, i);
    sqlite3_bind_text(st, 2, Utf8(u8"血常规检查"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 3, Utf8(u8"偏低"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 4, Utf8(u8"偏高"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 5, Utf8(u8"未见明显异常"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 6, sexes[i % 3], -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 7, Utf8(u8"检验科"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 8, Utf8(u8"化验费"), -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 9, Utf8(u8"标准"), -1, SQLITE_STATIC);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(raw);
}

// The baseline: every field of every row as text through the C API.
double RawRead(const std::string& path, size_t& bytes) {
  auto start = std::chrono::steady_clock::now();
  sqlite3* raw = nullptr;
  sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(raw, "SELECT * FROM TJItem", -1, &st, nullptr);
  int columns = sqlite3_column_count(st);
  bytes = 0;
  while (sqlite3_step(st) == SQLITE_ROW)
    for (int c = 0; c < columns; ++c) {
      const unsigned char* text = sqlite3_column_text(st, c);
      bytes += static_cast<size_t>(sqlite3_column_bytes(st, c)) + (text ? 1 : 0);
    }
  sqlite3_finalize(st);
  sqlite3_close(raw);
  return Millis(std::chrono::steady_clock::now() - start);
}

// The system's path: the operator's OpenQuery into a TDataSet, then every
// field once through AsString.
double DataSetRead(TDBConnPool* pool, size_t& bytes, size_t& rowBytes) {
  auto start = std::chrono::steady_clock::now();
  TComPtr<IDBOperator> op = pool->CreateDBOperator();
  op->BindToThread(CurrentThreadId());
  TDataSet* set = op->OpenQuery("SELECT * FROM TJItem");
  int columns = set->FieldCount();
  bytes = 0;
  for (set->First(); !set->Eof(); set->Next())
    for (int c = 0; c < columns; ++c) bytes += set->Fields(c).AsString().size() + 1;
  double ms = Millis(std::chrono::steady_clock::now() - start);
  rowBytes = set->Storage().RowBytes() / std::max(1, set->RecordCount());
  if (set->RecordCount() != kRows) std::fprintf(stderr, "unexpected row count\n");
  return ms;
}

}  // namespace

int main() {
  TestDatabase db;
  Fill(db);
  TDBConnPool* pool = db.UseAsLibraryPoolThrough(TestBackend::Sqlite3, 1, 2);
  std::vector<double> raw, ours;
  size_t rawBytes = 0, ourBytes = 0, rowBytes = 0;
  for (int round = 0; round < kRounds; ++round) {
    raw.push_back(RawRead(db.Path(), rawBytes));
    ours.push_back(DataSetRead(pool, ourBytes, rowBytes));
  }
  std::sort(raw.begin(), raw.end());
  std::sort(ours.begin(), ours.end());
  double rawMs = raw[kRounds / 2], ourMs = ours[kRounds / 2];
  std::printf(
      "dataset_open: ratio=%.2f (TDataSet open of SELECT * FROM TJItem, %d rows x 35 columns, "
      "every field read once as text: %.1f ms, against raw sqlite3_step/sqlite3_column_text: "
      "%.1f ms; medians of %d rounds; result set holds %zu bytes per row)\n",
      ourMs / rawMs, kRows, ourMs, rawMs, kRounds, rowBytes);
  return 0;
}
