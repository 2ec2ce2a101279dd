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

// One term's sort keys, read once before the sort.
struct Keys {
  bool Descending = false;
  std::vector<uint8_t> Ranks;  // the cell's kind, Nulls placed first or last
  std::vector<int64_t> Integers;
  std::vector<double> Numbers;
  std::vector<char> Exact;  // the number is an integer (Integers holds it)
  std::vector<std::string_view> Texts;
};

template <class T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareBytes(std::string_view a, std::string_view b) {
  const int order = a.compare(b);
  return (order > 0) - (order < 0);
}

int CompareRows(const Keys& keys, int a, int b) {
  using Class = TClientOrder::CellClass;
  int order = Order(keys.Ranks[a], keys.Ranks[b]);
  if (order == 0) {
    switch (static_cast<Class>(keys.Ranks[a] & 3)) {
      case Class::Number:
        order = keys.Exact[a] && keys.Exact[b] ? Order(keys.Integers[a], keys.Integers[b])
                                               : Order(keys.Numbers[a], keys.Numbers[b]);
        break;
      case Class::Text:
        order = TClientOrder::CompareGbk(keys.Texts[a], keys.Texts[b]);
        break;
      case Class::Blob:
        order = CompareBytes(keys.Texts[a], keys.Texts[b]);
        break;
      case Class::Null:
        break;
    }
  }
  return keys.Descending ? -order : order;
}

// A Null ranks 0 (first) or 4 (after every kind); the low two bits give
// the kind either way.
uint8_t RankOf(TClientOrder::CellClass kind, TClientOrder::NullPlace nulls) {
  if (kind == TClientOrder::CellClass::Null) return nulls == TClientOrder::NullPlace::First ? 0 : 4;
  return static_cast<uint8_t>(kind);
}

void ReadNumber(std::string_view text, Keys& k, int row) {
  const char* end = text.data() + text.size();
  int64_t whole = 0;
  const auto exact = std::from_chars(text.data(), end, whole);
  k.Exact[row] = exact.ec == std::errc() && exact.ptr == end;
  k.Integers[row] = whole;
  double value = 0;
  std::from_chars(text.data(), end, value);
  k.Numbers[row] = k.Exact[row] ? static_cast<double>(whole) : value;
}

Keys ReadKeys(const TDataSet::Impl& rows, int column, bool descending,
              const TClientOrder::ClassOf& classOf, TClientOrder::NullPlace nulls) {
  Keys k;
  k.Descending = descending;
  const auto count = static_cast<size_t>(rows.rows);
  k.Ranks.resize(count);
  k.Integers.resize(count);
  k.Numbers.resize(count);
  k.Exact.resize(count);
  k.Texts.resize(count);
  for (int r = 0; r < rows.rows; ++r) {
    const auto kind =
        rows.CellIsNull(r, column) ? TClientOrder::CellClass::Null : classOf(r, column);
    k.Ranks[r] = RankOf(kind, nulls);
    k.Texts[r] = rows.Cell(r, column);
    if (kind == TClientOrder::CellClass::Number) ReadNumber(k.Texts[r], k, r);
  }
  return k;
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

bool TClientOrder::Sort(const std::vector<Term>& terms, const ClassOf& classOf, NullPlace nulls,
                        TDataSet::Impl& rows) {
  std::vector<int> columns;
  for (const Term& term : terms) {
    columns.push_back(rows.Find(term.Column));
    if (columns.back() < 0) return false;
  }
  // Read in stored order: the keys and `order` below index stored rows.
  rows.order.clear();
  std::vector<Keys> keys;
  for (size_t t = 0; t < terms.size(); ++t)
    keys.push_back(ReadKeys(rows, columns[t], terms[t].Descending, classOf, nulls));
  std::vector<int> order(static_cast<size_t>(rows.rows));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    for (const Keys& k : keys)
      if (int c = CompareRows(k, a, b)) return c < 0;
    return false;
  });
  rows.order = std::move(order);
  rows.cursor = 0;
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
