#include "BenchSupport.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

namespace BenchSupport {

std::string Code(int id) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06d", id);
  return buf;
}

double Millis(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void RawCatalogueRead(const std::string& path) {
  sqlite3* raw = nullptr;
  sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(raw, "SELECT * FROM TJItem ORDER BY ItemType, ItemName ASC", -1, &st, nullptr);
  const int columns = sqlite3_column_count(st);
  size_t bytes = 0;
  while (sqlite3_step(st) == SQLITE_ROW)
    for (int c = 0; c < columns; ++c) {
      sqlite3_column_text(st, c);
      bytes += static_cast<size_t>(sqlite3_column_bytes(st, c));
    }
  sqlite3_finalize(st);
  sqlite3_close(raw);
  if (bytes == 0) std::fprintf(stderr, "no rows read\n");
}

std::string MemberTexts::Next(int first, int count) {
  std::string text;
  for (int m = 0; m < members_; ++m) {
    state_ = state_ * 1103515245u + 12345u;
    text += Code(first + static_cast<int>((state_ >> 8) % static_cast<unsigned>(count))) + ";";
  }
  return text;
}

}  // namespace BenchSupport
