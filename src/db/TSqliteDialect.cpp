#include "TSqliteDialect.h"

#include "TSqlLexer.h"

namespace {

// The end of the code of the statement that starts at `from`: just after
// its last character that is neither blank nor inside a comment, before the
// ";" that ends it (or the end of the text).
size_t StatementCodeEnd(const std::string& sql, size_t from) {
  size_t codeEnd = from;
  for (size_t pos = from; pos < sql.size() && sql[pos] != ';';) {
    const size_t skipped = TSqlLexer::SkipQuoted(sql, pos);
    if (skipped != pos) {
      if (!TSqlLexer::IsComment(sql, pos)) codeEnd = skipped;
      pos = skipped;
      continue;
    }
    if (static_cast<unsigned char>(sql[pos]) > ' ') codeEnd = pos + 1;
    ++pos;
  }
  return codeEnd;
}

// True when the last literal, quoted name or comment of `sql` runs to its
// end (a line comment without its line break, or an unterminated one).
bool EndsInsideQuotes(const std::string& sql) {
  for (size_t pos = 0; pos < sql.size();) {
    const size_t skipped = TSqlLexer::SkipQuoted(sql, pos);
    if (skipped == sql.size() && skipped != pos) return true;
    pos = skipped != pos ? skipped : pos + 1;
  }
  return false;
}

// The statements before an identity query, without the blanks around them
// and the statement ends (";") at their end; what a trailing comment holds
// stays as written.
std::string WithoutTrailingSemicolons(const std::string& sql) {
  std::string text = sql.substr(TSqlLexer::SkipBlanks(sql, 0));
  while (!text.empty() && (text.back() == ';' || static_cast<unsigned char>(text.back()) <= ' ') &&
         !EndsInsideQuotes(text))
    text.pop_back();
  return text;
}

}  // namespace

std::vector<std::string> TSqliteDialect::Adapt(const std::string& utf8Sql) {
  std::vector<std::string> out;
  for (const std::string& part : SplitAtIdentityQuery(utf8Sql)) out.push_back(AdaptStatement(part));
  return out;
}

std::vector<std::string> TSqliteDialect::SplitAtIdentityQuery(const std::string& sql) {
  for (size_t pos = 0; pos < sql.size();) {
    size_t skipped = TSqlLexer::SkipQuoted(sql, pos);
    if (skipped != pos) {
      pos = skipped;
      continue;
    }
    if (TSqlLexer::WordAt(sql, pos, "SELECT") &&
        TSqlLexer::WordAt(sql, TSqlLexer::SkipBlanks(sql, pos + 6), "@@IDENTITY")) {
      const std::string head = WithoutTrailingSemicolons(sql.substr(0, pos));
      if (head.empty()) return {sql};
      return {head, sql.substr(pos)};
    }
    ++pos;
  }
  return {sql};
}

std::string TSqliteDialect::AdaptStatement(const std::string& sql) {
  return TopToLimit(AddDeleteFrom(ReplaceIdentity(sql)));
}

std::string TSqliteDialect::ReplaceIdentity(const std::string& sql) {
  std::string out;
  out.reserve(sql.size());
  for (size_t pos = 0; pos < sql.size();) {
    size_t skipped = TSqlLexer::SkipQuoted(sql, pos);
    if (skipped != pos) {
      out.append(sql, pos, skipped - pos);
      pos = skipped;
    } else if (TSqlLexer::WordAt(sql, pos, "@@IDENTITY")) {
      // SQL Server answers Null before any insert; SQLite would answer 0.
      out += "NULLIF(last_insert_rowid(), 0)";
      pos += 10;
    } else {
      out += sql[pos++];
    }
  }
  return out;
}

std::string TSqliteDialect::AddDeleteFrom(const std::string& sql) {
  size_t start = TSqlLexer::SkipBlanks(sql, 0);
  if (!TSqlLexer::WordAt(sql, start, "DELETE")) return sql;
  size_t next = TSqlLexer::SkipBlanks(sql, start + 6);
  if (next == start + 6 || next >= sql.size() || TSqlLexer::WordAt(sql, next, "FROM")) return sql;
  return sql.substr(0, next) + "FROM " + sql.substr(next);
}

std::string TSqliteDialect::TopToLimit(const std::string& sql) {
  size_t start = TSqlLexer::SkipBlanks(sql, 0);
  if (!TSqlLexer::WordAt(sql, start, "SELECT")) return sql;
  size_t top = TSqlLexer::SkipBlanks(sql, start + 6);
  if (!TSqlLexer::WordAt(sql, top, "TOP")) return sql;
  size_t number = TSqlLexer::SkipBlanks(sql, top + 3);
  size_t end = number;
  while (end < sql.size() && sql[end] >= '0' && sql[end] <= '9') ++end;
  if (end == number || (end < sql.size() && TSqlLexer::IsWordChar(sql[end]))) return sql;
  // LIMIT goes right after the statement's last code: before a trailing
  // comment (which would swallow it) and before the ";" that ends the
  // statement (a later statement must not get it).
  const size_t body = TSqlLexer::SkipBlanks(sql, end);
  const size_t codeEnd = StatementCodeEnd(sql, body);
  return sql.substr(0, top) + sql.substr(body, codeEnd - body) + " LIMIT " +
         sql.substr(number, end - number) + sql.substr(codeEnd);
}
