#include "TSqlRewrite.h"

#include "TSqlLexer.h"

namespace {

// The first position at or after `pos`, outside literals, quoted names and
// comments, where `found` answers true (it sees every such position in
// order); npos when there is none.
template <class Found>
size_t FindOutsideQuotes(const std::string& sql, size_t pos, Found&& found) {
  while (pos < sql.size()) {
    const size_t skipped = TSqlLexer::SkipQuoted(sql, pos);
    if (skipped != pos) {
      pos = skipped;
    } else if (found(pos)) {
      return pos;
    } else {
      ++pos;
    }
  }
  return std::string::npos;
}

// Where the statement's own ORDER BY list starts (after "BY"), or npos.
size_t OrderByListStart(const std::string& sql) {
  int depth = 0;
  size_t listStart = std::string::npos;
  FindOutsideQuotes(sql, 0, [&](size_t pos) {
    if (sql[pos] == '(') ++depth;
    if (sql[pos] == ')') --depth;
    if (depth != 0 || !TSqlLexer::WordAt(sql, pos, "ORDER")) return false;
    const size_t by = TSqlLexer::SkipBlanks(sql, pos + 5);
    if (by == pos + 5 || !TSqlLexer::WordAt(sql, by, "BY")) return false;
    listStart = by + 2;
    return true;
  });
  return listStart;
}

// Where the term starting at `pos` ends: a comma, a closing bracket, a
// semicolon or LIMIT/OFFSET outside brackets and quotes, or the end.
size_t TermEnd(const std::string& sql, size_t pos) {
  int depth = 0;
  const size_t end = FindOutsideQuotes(sql, pos, [&](size_t at) {
    const char c = sql[at];
    if (c == '(') ++depth;
    if (c == ')' && depth-- == 0) return true;
    return depth == 0 && (c == ',' || c == ';' || TSqlLexer::WordAt(sql, at, "LIMIT") ||
                          TSqlLexer::WordAt(sql, at, "OFFSET"));
  });
  return end == std::string::npos ? sql.size() : end;
}

bool HasWord(const std::string& text, std::string_view word) {
  return FindOutsideQuotes(text, 0, [&](size_t pos) {
           return TSqlLexer::WordAt(text, pos, word);
         }) != std::string::npos;
}

}  // namespace

std::string TSqlRewrite::OrderByTerms(const std::string& sql, const TermRewrite& rewrite) {
  size_t pos = OrderByListStart(sql);
  if (pos == std::string::npos) return sql;
  std::string out = sql.substr(0, pos);
  while (true) {
    const size_t end = TermEnd(sql, pos);
    out += RewriteTerm(sql.substr(pos, end - pos), rewrite);
    if (end >= sql.size() || sql[end] != ',') return out + sql.substr(end);
    out += ',';
    pos = end + 1;
  }
}

// " ItemName ASC" -> " " + rewrite("ItemName") + " ASC"; a term that names
// its own collation, or an empty one, stays as it is.
std::string TSqlRewrite::RewriteTerm(const std::string& term, const TermRewrite& rewrite) {
  static constexpr const char* kBlanks = " \t\r\n";
  if (TSqlLexer::Trim(term).empty() || HasWord(term, "COLLATE")) return term;
  const size_t begin = term.find_first_not_of(kBlanks);
  const size_t end = term.find_last_not_of(kBlanks) + 1;
  std::string head = term.substr(begin, end - begin);
  std::string direction;
  for (std::string_view word : {"ASC", "DESC"}) {
    const size_t at = head.size() - word.size();
    if (head.size() > word.size() && TSqlLexer::WordAt(head, at, word)) {
      direction = head.substr(at);
      head.resize(head.find_last_not_of(kBlanks, at - 1) + 1);
      break;
    }
  }
  std::string out = term.substr(0, begin);
  out += rewrite(head);
  if (!direction.empty()) out += ' ';
  out += direction;
  out += term.substr(end);
  return out;
}

std::vector<std::string> TSqlRewrite::SplitAtIdentityQuery(const std::string& sql) {
  const size_t pos = FindOutsideQuotes(sql, 0, [&](size_t at) {
    return TSqlLexer::WordAt(sql, at, "SELECT") &&
           TSqlLexer::WordAt(sql, TSqlLexer::SkipBlanks(sql, at + 6), "@@IDENTITY");
  });
  if (pos == std::string::npos) return {sql};
  std::string head = TSqlLexer::Trim(sql.substr(0, pos));
  while (!head.empty() && head.back() == ';')
    head = TSqlLexer::Trim(head.substr(0, head.size() - 1));
  if (head.empty()) return {sql};
  return {head, sql.substr(pos)};
}

std::string TSqlRewrite::ReplaceIdentity(const std::string& sql, std::string_view replacement) {
  std::string out;
  out.reserve(sql.size());
  for (size_t pos = 0; pos < sql.size();) {
    size_t skipped = TSqlLexer::SkipQuoted(sql, pos);
    if (skipped != pos) {
      out.append(sql, pos, skipped - pos);
      pos = skipped;
    } else if (TSqlLexer::WordAt(sql, pos, "@@IDENTITY")) {
      out += replacement;
      pos += 10;
    } else {
      out += sql[pos++];
    }
  }
  return out;
}

std::string TSqlRewrite::AddDeleteFrom(const std::string& sql) {
  size_t start = TSqlLexer::SkipBlanks(sql, 0);
  if (!TSqlLexer::WordAt(sql, start, "DELETE")) return sql;
  size_t next = TSqlLexer::SkipBlanks(sql, start + 6);
  if (next == start + 6 || next >= sql.size() || TSqlLexer::WordAt(sql, next, "FROM")) return sql;
  return sql.substr(0, next) + "FROM " + sql.substr(next);
}

std::string TSqlRewrite::TopToLimit(const std::string& sql) {
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
