#include "TClientOrder.h"

#include <algorithm>
#include <charconv>
#include <numeric>

#include "TSqlLexer.h"

namespace {

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

// The statement's top-level words (outside literals, quoted names, comments
// and parentheses) with their positions; false when the text holds a comment
// or a quoted name (nothing is guessed about those).
struct Word {
  size_t Pos;
  std::string_view Text;
};
bool TopLevelWords(std::string_view sql, std::vector<Word>& words) {
  int depth = 0;
  for (size_t pos = 0; pos < sql.size();) {
    const size_t skipped = TSqlLexer::SkipQuoted(sql, pos);
    if (skipped != pos) {
      if (sql[pos] != '\'') return false;  // a comment or a quoted name
      pos = skipped;
      continue;
    }
    const char c = sql[pos];
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (TSqlLexer::IsWordChar(c)) {
      size_t end = pos;
      while (end < sql.size() && TSqlLexer::IsWordChar(sql[end])) ++end;
      if (depth == 0) words.push_back({pos, sql.substr(pos, end - pos)});
      pos = end;
      continue;
    }
    ++pos;
  }
  return depth == 0;
}

bool IsName(std::string_view text) {
  if (text.empty() || (text[0] >= '0' && text[0] <= '9')) return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return TSqlLexer::IsWordChar(c); });
}

// The ORDER BY list "a, b DESC" as terms; false for anything else.
bool ParseTerms(std::string_view list, std::vector<TClientOrder::Term>& terms) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) comma = list.size();
    std::string term = TSqlLexer::Trim(list.substr(start, comma - start));
    TClientOrder::Term parsed;
    const size_t blank = term.find_first_of(" \t\r\n");
    if (blank != std::string::npos) {
      const std::string direction = TSqlLexer::Trim(std::string_view(term).substr(blank));
      if (SameWord(direction, "DESC"))
        parsed.Descending = true;
      else if (!SameWord(direction, "ASC"))
        return false;
      term.resize(blank);
    }
    if (!IsName(term)) return false;
    parsed.Column = term;
    terms.push_back(parsed);
    start = comma + 1;
  }
  return !terms.empty();
}

// True when the select list returns every term's column under its name.
bool SelectListReturns(std::string_view list, const std::vector<TClientOrder::Term>& terms) {
  const std::string trimmed = TSqlLexer::Trim(list);
  if (trimmed == "*") return true;
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) comma = list.size();
    items.push_back(TSqlLexer::Trim(list.substr(start, comma - start)));
    start = comma + 1;
  }
  return std::all_of(terms.begin(), terms.end(), [&](const TClientOrder::Term& term) {
    return std::any_of(items.begin(), items.end(),
                       [&](const std::string& item) { return SameWord(item, term.Column); });
  });
}

// GBK character length from its first byte (and second, for GB18030's
// four-byte form).
size_t CharLength(std::string_view text, size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80 || pos + 1 >= text.size()) return 1;
  const auto second = static_cast<unsigned char>(text[pos + 1]);
  return second >= 0x30 && second <= 0x39 ? 4 : 2;
}

unsigned char Folded(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// One column's sort keys, read once before the sort.
struct Keys {
  bool Numeric = false;
  bool Descending = false;
  std::vector<double> Numbers;
  std::vector<std::string_view> Texts;
  std::vector<char> Nulls;
};

int CompareRows(const Keys& keys, int a, int b) {
  const bool nullA = keys.Nulls[a], nullB = keys.Nulls[b];
  int order = 0;
  if (nullA || nullB)
    order = nullA == nullB ? 0 : (nullA ? 1 : -1);  // Nulls sort as the largest value
  else if (keys.Numeric)
    order = keys.Numbers[a] < keys.Numbers[b] ? -1 : (keys.Numbers[b] < keys.Numbers[a] ? 1 : 0);
  else
    order = TClientOrder::CompareGbk(keys.Texts[a], keys.Texts[b]);
  return keys.Descending ? -order : order;
}

double NumberOf(std::string_view text) {
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace

std::vector<TClientOrder::Term> TClientOrder::Split(const std::string& utf8Sql,
                                                    std::string& withoutOrder) {
  std::vector<Word> words;
  if (!TopLevelWords(utf8Sql, words) || words.size() < 4 || !SameWord(words[0].Text, "SELECT"))
    return {};
  size_t from = 0, order = 0;
  for (size_t i = 1; i < words.size(); ++i) {
    for (std::string_view refused : {"UNION", "INTERSECT", "EXCEPT", "DISTINCT", "LIMIT", "OFFSET",
                                     "FETCH", "TOP", "INTO", "FOR"})
      if (SameWord(words[i].Text, refused)) return {};
    if (!from && SameWord(words[i].Text, "FROM")) from = i;
    if (i + 1 < words.size() && SameWord(words[i].Text, "ORDER") &&
        SameWord(words[i + 1].Text, "BY"))
      order = i;
  }
  if (!from || !order || order < from) return {};
  std::string_view list = std::string_view(utf8Sql).substr(words[order + 1].Pos + 2);
  while (!list.empty() &&
         (list.back() == ';' || TSqlLexer::Trim(list.substr(list.size() - 1)).empty()))
    list.remove_suffix(1);
  if (list.find_first_of(";()'\"") != std::string_view::npos) return {};
  std::vector<Term> terms;
  const size_t selectEnd = words[0].Pos + words[0].Text.size();
  if (!ParseTerms(list, terms) ||
      !SelectListReturns(std::string_view(utf8Sql).substr(selectEnd, words[from].Pos - selectEnd),
                         terms))
    return {};
  withoutOrder = TSqlLexer::Trim(std::string_view(utf8Sql).substr(0, words[order].Pos));
  return terms;
}

bool TClientOrder::Apply(const std::vector<Term>& terms, const std::vector<bool>& numeric,
                         const TDataSet::Impl& rows, TDataSet::Impl& out) {
  std::vector<Keys> keys(terms.size());
  for (size_t t = 0; t < terms.size(); ++t) {
    const int column = rows.Find(terms[t].Column);
    if (column < 0) return false;
    Keys& k = keys[t];
    k.Numeric = column < static_cast<int>(numeric.size()) && numeric[column];
    k.Descending = terms[t].Descending;
    k.Nulls.resize(rows.rows);
    (k.Numeric ? k.Numbers.resize(rows.rows) : k.Texts.resize(rows.rows));
    for (int r = 0; r < rows.rows; ++r) {
      k.Nulls[r] = rows.CellIsNull(r, column);
      if (k.Numeric)
        k.Numbers[r] = NumberOf(rows.Cell(r, column));
      else
        k.Texts[r] = rows.Cell(r, column);
    }
  }
  std::vector<int> order(rows.rows);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    for (const Keys& k : keys)
      if (int c = CompareRows(k, a, b)) return c < 0;
    return false;
  });
  out.BeginResult(rows.names);
  const int columns = rows.Columns();
  for (int r : order) {
    for (int c = 0; c < columns; ++c) out.AddCell(rows.Cell(r, c), rows.CellIsNull(r, c));
    out.EndRow();
  }
  out.Finish();
  return true;
}

int TClientOrder::CompareGbk(std::string_view a, std::string_view b) {
  size_t pos = 0;
  const size_t shared = std::min(a.size(), b.size());
  while (pos < shared) {
    const auto ca = static_cast<unsigned char>(a[pos]);
    const auto cb = static_cast<unsigned char>(b[pos]);
    if (ca < 0x80 || cb < 0x80) {
      // At a character start in both (the texts are equal up to here).
      const unsigned char fa = Folded(ca), fb = Folded(cb);
      if (fa != fb) return fa < fb ? -1 : 1;
      ++pos;
      continue;
    }
    const size_t length = CharLength(a, pos);
    for (size_t i = 0; i < length && pos < shared; ++i, ++pos)
      if (a[pos] != b[pos])
        return static_cast<unsigned char>(a[pos]) < static_cast<unsigned char>(b[pos]) ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
