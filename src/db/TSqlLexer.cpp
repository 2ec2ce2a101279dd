#include "TSqlLexer.h"

size_t TSqlLexer::SkipQuoted(std::string_view sql, size_t pos) {
  if (pos >= sql.size()) return pos;
  char c = sql[pos];
  // Quotes are read as SQLite reads them, since the text that goes through
  // here ends up there (and a script split where SQLite sees a statement end
  // must agree on what is quoted): a doubled closing quote is the quote
  // character itself ('it''s', "a""b", `a``b`); a bracketed name ends at its
  // first "]".
  auto closeAt = [&](char close, bool doubledIsText) {
    for (size_t i = pos + 1; i < sql.size(); ++i) {
      if (sql[i] != close) continue;
      if (doubledIsText && i + 1 < sql.size() && sql[i + 1] == close) {
        ++i;
        continue;
      }
      return i + 1;
    }
    return sql.size();
  };
  if (c == '\'' || c == '"' || c == '`') return closeAt(c, true);
  if (c == '[') return closeAt(']', false);
  if (!IsComment(sql, pos)) return pos;
  if (c == '-') {
    size_t end = sql.find('\n', pos);
    return end == std::string_view::npos ? sql.size() : end + 1;
  }
  size_t end = sql.find("*/", pos + 2);
  return end == std::string_view::npos ? sql.size() : end + 2;
}

bool TSqlLexer::IsComment(std::string_view sql, size_t pos) {
  return pos + 1 < sql.size() &&
         ((sql[pos] == '-' && sql[pos + 1] == '-') || (sql[pos] == '/' && sql[pos + 1] == '*'));
}

bool TSqlLexer::WordAt(std::string_view sql, size_t pos, std::string_view word) {
  if (pos + word.size() > sql.size()) return false;
  if (pos > 0 && IsWordChar(sql[pos - 1])) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    char a = sql[pos + i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    char b = word[i];
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  size_t end = pos + word.size();
  return end == sql.size() || !IsWordChar(sql[end]);
}

bool TSqlLexer::MayHold(std::string_view sql, std::string_view word) {
  if (word.empty()) return true;
  const auto upper = [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  };
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  const auto matchesAt = [&](size_t pos) {
    if (pos + word.size() > sql.size()) return false;
    for (size_t i = 1; i < word.size(); ++i)
      if (upper(sql[pos + i]) != upper(word[i])) return false;
    return true;
  };
  // The first character is found by the library's fast search, in each case.
  for (const char first : {upper(word[0]), lower(word[0])}) {
    for (size_t pos = sql.find(first); pos != std::string_view::npos;
         pos = sql.find(first, pos + 1))
      if (matchesAt(pos)) return true;
    if (upper(word[0]) == lower(word[0])) break;
  }
  return false;
}

size_t TSqlLexer::SkipBlanks(std::string_view sql, size_t pos) {
  while (pos < sql.size() && static_cast<unsigned char>(sql[pos]) <= ' ') ++pos;
  return pos;
}

std::string TSqlLexer::Trim(std::string_view sql) {
  size_t begin = 0, end = sql.size();
  while (begin < end && static_cast<unsigned char>(sql[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(sql[end - 1]) <= ' ') --end;
  return std::string(sql.substr(begin, end - begin));
}
