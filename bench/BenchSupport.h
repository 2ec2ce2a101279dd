#pragma once

#include <chrono>
#include <string>
#include <vector>

/// What the benchmarks share: test data helpers and timing.
namespace BenchSupport {

/// The bytes of a u8 literal, for binding UTF-8 text through sqlite3.
inline const char* Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

/// The catalogue of the window benchmarks (embedded and server): items,
/// then combination items of kMembers items, then check sets of kMembers
/// combination items.
namespace WindowCatalogue {
constexpr int kCategories = 500;
constexpr int kItems = 50000;
constexpr int kCombos = 5000;
constexpr int kSets = 500;
constexpr int kMembers = 10;
constexpr int kRows = kItems + kCombos + kSets;
}  // namespace WindowCatalogue

/// The six-digit code of an id ("000042").
std::string Code(int id);

double Millis(std::chrono::steady_clock::duration duration);

/// The time `body` takes, in milliseconds.
template <class Body>
double Timed(Body&& body) {
  const auto start = std::chrono::steady_clock::now();
  body();
  return Millis(std::chrono::steady_clock::now() - start);
}

double Median(std::vector<double> values);

/// The baseline of the catalogue benchmarks: every field of every TJItem
/// row of the SQLite file at `path` read as text through the sqlite3 C API,
/// in catalogue order.
void RawCatalogueRead(const std::string& path);

/// Member texts ("000012;000345;...") drawn by a simple LCG, so every run
/// builds the same catalogue.
class MemberTexts {
 public:
  explicit MemberTexts(int members) : members_(members) {}
  /// `members` codes of ids in [first, first + count).
  std::string Next(int first, int count);

 private:
  int members_;
  unsigned state_ = 12345;
};

}  // namespace BenchSupport
