#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// The values written literally in a statement, taken out so that
/// statements of the same shape share one prepared statement. Each string,
/// integer and decimal literal becomes `?` and is kept with its type, so that
/// binding it stores and compares exactly as the literal would.
class TSqlLiterals {
 public:
  enum class Kind { Text, Integer, Real };
  struct Value {
    Kind kind = Kind::Text;
    std::string text;  // Text: the literal's content, quotes undone
    int64_t integer = 0;
    double real = 0;
  };

  /// True when `utf8Sql` is one INSERT, UPDATE or DELETE whose literals are
  /// all values (no SELECT, CAST or other construct where a number could mean
  /// a column position or a size), or one SELECT whose literals all stand in
  /// its WHERE (no ORDER, GROUP, UNION, CAST, ...), and every literal could
  /// be read; then `shape` is the text with `?` for each literal and `values`
  /// their values in order. Otherwise false: the statement is run as written.
  static bool Extract(std::string_view utf8Sql, std::string& shape, std::vector<Value>& values);
};
