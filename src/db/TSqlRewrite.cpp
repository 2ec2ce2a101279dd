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

// The end of the code of the statement that starts at `from`: just after
// its last character that is neither blank nor inside a comment, before the
// ";" that ends it (or the end of the text).
size_t StatementCodeEnd(std::string_view sql, size_t from) {
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

// Where the code of `text` starts: after the blanks and comments before it.
size_t CodeStart(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    if (TSqlLexer::IsComment(text, pos)) {
      pos = TSqlLexer::SkipQuoted(text, pos);
    } else if (static_cast<unsigned char>(text[pos]) <= ' ') {
      ++pos;
    } else {
      break;
    }
  }
  return pos;
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

std::string TSqlRewrite::OrderByTerms(const std::string& sql, const TermRewrite& rewrite) {
  // ORDER BY belongs to a query: a statement without SELECT has none.
  if (!TSqlLexer::MayHold(sql, "ORDER") || !TSqlLexer::MayHold(sql, "SELECT")) return sql;
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
// its own collation, or one without code, stays as it is. Only the
// expression's code is handed over: blanks and comments around it stay
// where they are (a trailing line comment would swallow what follows it).
std::string TSqlRewrite::RewriteTerm(const std::string& term, const TermRewrite& rewrite) {
  const size_t end = StatementCodeEnd(term, 0);
  if (end == 0 || HasWord(term, "COLLATE")) return term;
  const size_t begin = CodeStart(term);
  size_t expressionEnd = end;
  for (std::string_view word : {"ASC", "DESC"}) {
    if (end > begin + word.size() && TSqlLexer::WordAt(term, end - word.size(), word)) {
      expressionEnd = StatementCodeEnd(std::string_view(term).substr(0, end - word.size()), 0);
      break;
    }
  }
  return term.substr(0, begin) + rewrite(term.substr(begin, expressionEnd - begin)) +
         term.substr(expressionEnd);
}

std::vector<std::string> TSqlRewrite::SplitAtIdentityQuery(const std::string& sql) {
  if (!TSqlLexer::MayHold(sql, "@@IDENTITY")) return {sql};
  const size_t pos = FindOutsideQuotes(sql, 0, [&](size_t at) {
    return TSqlLexer::WordAt(sql, at, "SELECT") &&
           TSqlLexer::WordAt(sql, TSqlLexer::SkipBlanks(sql, at + 6), "@@IDENTITY");
  });
  if (pos == std::string::npos) return {sql};
  const std::string head = WithoutTrailingSemicolons(sql.substr(0, pos));
  if (head.empty()) return {sql};
  return {head, sql.substr(pos)};
}

std::string TSqlRewrite::ReplaceIdentity(const std::string& sql, std::string_view replacement) {
  if (!TSqlLexer::MayHold(sql, "@@IDENTITY")) return sql;
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
  // LIMIT goes right after the statement's last code: before a trailing
  // comment (which would swallow it) and before the ";" that ends the
  // statement (a later statement must not get it).
  const size_t body = TSqlLexer::SkipBlanks(sql, end);
  const size_t codeEnd = StatementCodeEnd(sql, body);
  return sql.substr(0, top) + sql.substr(body, codeEnd - body) + " LIMIT " +
         sql.substr(number, end - number) + sql.substr(codeEnd);
}

namespace {

// After `SAVE` or `ROLLBACK` at `pos`: where the savepoint's name starts when
// TRAN or TRANSACTION and a name follow, else npos.
size_t SavepointNameAfter(const std::string& sql, size_t pos) {
  const size_t word = TSqlLexer::SkipBlanks(sql, pos);
  size_t after = std::string::npos;
  if (TSqlLexer::WordAt(sql, word, "TRANSACTION"))
    after = word + 11;
  else if (TSqlLexer::WordAt(sql, word, "TRAN"))
    after = word + 4;
  if (after == std::string::npos) return after;
  const size_t name = TSqlLexer::SkipBlanks(sql, after);
  if (name == after || name >= sql.size() || !TSqlLexer::IsWordChar(sql[name]))
    return std::string::npos;
  return name;
}

}  // namespace

bool TSqlRewrite::IsSavepointRelease(const std::string& sql) {
  const size_t start = TSqlLexer::SkipBlanks(sql, 0);
  if (!TSqlLexer::WordAt(sql, start, "RELEASE")) return false;
  return TSqlLexer::WordAt(sql, TSqlLexer::SkipBlanks(sql, start + 7), "SAVEPOINT");
}

std::string TSqlRewrite::Savepoints(const std::string& sql) {
  const size_t start = TSqlLexer::SkipBlanks(sql, 0);
  if (TSqlLexer::WordAt(sql, start, "SAVE")) {
    const size_t name = SavepointNameAfter(sql, start + 4);
    if (name != std::string::npos) return sql.substr(0, start) + "SAVEPOINT " + sql.substr(name);
  } else if (TSqlLexer::WordAt(sql, start, "ROLLBACK")) {
    const size_t name = SavepointNameAfter(sql, start + 8);
    if (name != std::string::npos)
      return sql.substr(0, start) + "ROLLBACK TO SAVEPOINT " + sql.substr(name);
  }
  return sql;
}
