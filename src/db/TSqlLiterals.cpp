#include "TSqlLiterals.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "TSqlLexer.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Words after which a literal may be something other than a value (a
// column position, a size, a row count, a column of a query's result).
constexpr std::string_view kNotInWrites[] = {"SELECT", "CAST",  "CONVERT",
                                             "LIMIT",  "ORDER", "COLLATE"};
constexpr std::string_view kNotInQueries[] = {"ORDER",  "GROUP",   "LIMIT",   "OFFSET", "HAVING",
                                              "CAST",   "CONVERT", "COLLATE", "UNION",  "INTERSECT",
                                              "EXCEPT", "TOP",     "OVER"};

template <size_t N>
bool StartsWordOf(std::string_view sql, size_t pos, const std::string_view (&words)[N]) {
  const char first = static_cast<char>(sql[pos] & ~0x20);  // ASCII letters in upper case
  for (std::string_view word : words)
    if (word[0] == first && TSqlLexer::WordAt(sql, pos, word)) return true;
  return false;
}

// The length of the number starting at `pos` (digits, one point, an
// exponent); 0 when none starts there.
size_t NumberLength(std::string_view sql, size_t pos) {
  size_t end = pos;
  while (end < sql.size() && (IsDigit(sql[end]) || sql[end] == '.')) ++end;
  if (end < sql.size() && (sql[end] == 'e' || sql[end] == 'E')) {
    ++end;
    if (end < sql.size() && (sql[end] == '+' || sql[end] == '-')) ++end;
    while (end < sql.size() && IsDigit(sql[end])) ++end;
  }
  return end - pos;
}

// A number as SQLite reads it: digits alone are an integer when they fit,
// anything else with a point or an exponent is a real.
bool ReadNumber(std::string_view token, TSqlLiterals::Value& value) {
  const std::string text(token);
  char* end = nullptr;
  errno = 0;
  if (text.find_first_of(".eE") == std::string::npos) {
    const long long integer = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size()) return false;
    value.kind = TSqlLiterals::Kind::Integer;
    value.integer = integer;
    return true;
  }
  const double real = std::strtod(text.c_str(), &end);
  if (errno != 0 || end != text.c_str() + text.size()) return false;
  value.kind = TSqlLiterals::Kind::Real;
  value.real = real;
  return true;
}

// The content of the literal '...' spanning [begin, end), '' read as '.
std::string Unquoted(std::string_view sql, size_t begin, size_t end) {
  std::string text;
  const std::string_view inside = sql.substr(begin + 1, end - begin - 2);
  size_t from = 0;
  for (size_t quote = inside.find('\''); quote != std::string_view::npos;
       quote = inside.find('\'', from)) {
    text.append(inside, from, quote + 1 - from);
    from = quote + 2;
  }
  text.append(inside.substr(std::min(from, inside.size())));
  return text;
}

}  // namespace

bool TSqlLiterals::Extract(std::string_view sql, std::string& shape, std::vector<Value>& values) {
  shape.clear();
  values.clear();
  const size_t start = TSqlLexer::SkipBlanks(sql, 0);
  // A query's literals are values only in its conditions: one in the column
  // list would change the column's name.
  const bool query = TSqlLexer::WordAt(sql, start, "SELECT");
  if (!query && !TSqlLexer::WordAt(sql, start, "INSERT") &&
      !TSqlLexer::WordAt(sql, start, "UPDATE") && !TSqlLexer::WordAt(sql, start, "DELETE"))
    return false;
  bool valuesAllowed = !query;
  int depth = 0;  // parentheses around the current position
  shape.reserve(sql.size());
  size_t copied = 0;  // text before this is in `shape`
  const auto copyUpTo = [&](size_t pos) {
    shape.append(sql, copied, pos - copied);
    copied = pos;
  };
  for (size_t pos = start; pos < sql.size();) {
    const char c = sql[pos];
    if (TSqlLexer::IsWordChar(c) && !IsDigit(c)) {
      // A whole word, so that digits inside a name are never a number.
      if (c == '@' || c == '$') return false;
      if (query ? StartsWordOf(sql, pos, kNotInQueries) : StartsWordOf(sql, pos, kNotInWrites))
        return false;
      if (query && depth == 0 && TSqlLexer::WordAt(sql, pos, "WHERE")) valuesAllowed = true;
      while (pos < sql.size() && TSqlLexer::IsWordChar(sql[pos])) ++pos;
    } else if (c == '(' || c == ')') {
      depth += c == '(' ? 1 : -1;
      ++pos;
    } else if (c == '\'' || c == '"' || c == '`' || c == '[' || c == '-' || c == '/') {
      const size_t skipped = TSqlLexer::SkipQuoted(sql, pos);
      if (c == '\'' && skipped != pos) {
        // X'..' is a blob, N'..' a literal of SQL Server; an unterminated
        // literal is the database's to report.
        if (!valuesAllowed || TSqlLexer::IsWordChar(sql[pos - 1]) || skipped - pos < 2 ||
            sql[skipped - 1] != '\'')
          return false;
        copyUpTo(pos);
        values.push_back({Kind::Text, Unquoted(sql, pos, skipped)});
        shape += '?';
        copied = skipped;
      }
      pos = skipped == pos ? pos + 1 : skipped;  // quoted names and comments stay
    } else if (IsDigit(c) || (c == '.' && pos + 1 < sql.size() && IsDigit(sql[pos + 1]))) {
      const size_t end = pos + NumberLength(sql, pos);
      Value value;
      if (!valuesAllowed || (end < sql.size() && TSqlLexer::IsWordChar(sql[end])) ||
          !ReadNumber(sql.substr(pos, end - pos), value))
        return false;  // 0x1F, 12abc, a number too large: left to the database
      copyUpTo(pos);
      values.push_back(std::move(value));
      shape += '?';
      copied = pos = end;
    } else if (c == ';') {
      // One statement only; blanks and further semicolons may follow.
      for (size_t rest = pos; rest < sql.size(); ++rest)
        if (sql[rest] != ';' && static_cast<unsigned char>(sql[rest]) > ' ') return false;
      break;
    } else if (c == '?' || c == ':') {
      return false;  // parameters of its own
    } else {
      ++pos;
    }
  }
  copyUpTo(sql.size());
  return true;
}
