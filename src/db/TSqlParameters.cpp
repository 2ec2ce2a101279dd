#include "TSqlParameters.h"

#include "TSqlLexer.h"

namespace {
bool StartsName(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool InName(char c) {
  return StartsName(c) || (c >= '0' && c <= '9');
}
}  // namespace

std::string TSqlParameters::ToPositional(const std::string& utf8Sql, int& count) {
  count = 0;
  std::string out;
  out.reserve(utf8Sql.size());
  for (size_t pos = 0; pos < utf8Sql.size();) {
    size_t skipped = TSqlLexer::SkipQuoted(utf8Sql, pos);
    if (skipped != pos) {
      out.append(utf8Sql, pos, skipped - pos);
      pos = skipped;
      continue;
    }
    char c = utf8Sql[pos];
    bool isParam = c == ':' && pos + 1 < utf8Sql.size() && StartsName(utf8Sql[pos + 1]) &&
                   (pos == 0 || utf8Sql[pos - 1] != ':');
    if (!isParam) {
      out += c;
      ++pos;
      continue;
    }
    pos += 2;
    while (pos < utf8Sql.size() && InName(utf8Sql[pos])) ++pos;
    out += '?';
    ++count;
  }
  return out;
}
