#include "TSqliteDialect.h"

#include "TSqlLexer.h"

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
      std::string head = TSqlLexer::Trim(sql.substr(0, pos));
      while (!head.empty() && head.back() == ';')
        head = TSqlLexer::Trim(head.substr(0, head.size() - 1));
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
  std::string body = TSqlLexer::Trim(sql.substr(end));
  bool semicolon = !body.empty() && body.back() == ';';
  if (semicolon) body.pop_back();
  return sql.substr(0, top) + body + " LIMIT " + sql.substr(number, end - number) +
         (semicolon ? ";" : "");
}
