#include "TSqlScript.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>

#include "TSqlLexer.h"

namespace {

bool IsGoLine(std::string_view line) {
  const std::string text = TSqlLexer::Trim(line);
  return text.size() == 2 && (text[0] == 'G' || text[0] == 'g') &&
         (text[1] == 'O' || text[1] == 'o');
}

// The position after a (possibly bracketed or quoted) name starting at `pos`.
size_t NameEnd(std::string_view sql, size_t pos) {
  if (pos < sql.size() && (sql[pos] == '[' || sql[pos] == '"' || sql[pos] == '`')) {
    const char close = sql[pos] == '[' ? ']' : sql[pos];
    const size_t end = sql.find(close, pos + 1);
    return end == std::string_view::npos ? sql.size() : end + 1;
  }
  while (pos < sql.size() && (TSqlLexer::IsWordChar(sql[pos]) || sql[pos] == '.')) ++pos;
  return pos;
}

// Comments become blanks (line ends stay): the SQLite ODBC driver takes a
// semicolon inside a comment for the end of a statement.
std::string WithoutComments(std::string sql) {
  for (size_t pos = 0; pos < sql.size();) {
    const size_t end = TSqlLexer::SkipQuoted(sql, pos);
    if (end == pos) {
      ++pos;
      continue;
    }
    if (sql[pos] == '-' || sql[pos] == '/')
      for (size_t i = pos; i < end; ++i)
        if (sql[i] != '\n') sql[i] = ' ';
    pos = end;
  }
  return sql;
}

size_t AfterWord(std::string_view sql, size_t pos, std::string_view word) {
  return TSqlLexer::SkipBlanks(sql, pos + word.size());
}

}  // namespace

std::vector<std::string> TSqlScript::Batches(const std::string& script) {
  std::vector<std::string> batches;
  for (const std::string& batch : SplitAtGo(Unwrapped(script)))
    if (!Spans(batch).empty()) batches.push_back(batch);
  return batches;
}

std::vector<std::string> TSqlScript::SqliteStatements(const std::string& batch) {
  std::vector<std::string> statements;
  size_t start = 0;
  auto take = [&](size_t end) {
    std::string piece = WithoutComments(batch.substr(start, end - start));
    if (!Spans(piece).empty()) statements.push_back(std::move(piece));
    start = end;
  };
  for (size_t semicolon = batch.find(';'); semicolon != std::string::npos;
       semicolon = batch.find(';', semicolon + 1))
    if (sqlite3_complete(batch.substr(start, semicolon + 1 - start).c_str())) take(semicolon + 1);
  take(batch.size());
  return statements;
}

std::vector<std::string> TSqlScript::SplitAtGo(const std::string& script) {
  std::vector<std::string> batches(1);
  size_t start = 0;
  while (start < script.size()) {
    size_t end = script.find('\n', start);
    if (end == std::string::npos) end = script.size();
    const std::string_view line(script.data() + start, end - start);
    if (IsGoLine(line))
      batches.emplace_back();
    else
      batches.back().append(line).append("\n");
    start = end + 1;
  }
  return batches;
}

// Only a wrapper that opens the script and one that closes it are taken
// away, and only together: a COMMIT alone, or END (which ends a trigger's
// body as well as a transaction), stays as written.
std::string TSqlScript::Unwrapped(const std::string& script) {
  const auto statements = Spans(script);
  if (statements.size() < 2) return script;
  const auto first = statements.front(), last = statements.back();
  if (!IsWords(script, first, "BEGIN", "TRANSACTION") && !IsWords(script, first, "BEGIN", "TRAN") &&
      !IsWords(script, first, "BEGIN", nullptr))
    return script;
  if (!IsWords(script, last, "COMMIT", "TRANSACTION") && !IsWords(script, last, "COMMIT", "TRAN") &&
      !IsWords(script, last, "COMMIT", nullptr))
    return script;
  // Blank out the two statements (and their semicolons), so that line
  // numbers in the database's messages still match the file.
  std::string body = script;
  for (auto [from, to] : {first, last})
    for (size_t i = from; i < std::min(to + 1, body.size()); ++i)
      if (body[i] != '\n') body[i] = ' ';
  return body;
}

std::vector<std::pair<size_t, size_t>> TSqlScript::Spans(const std::string& script) {
  std::vector<std::pair<size_t, size_t>> statements;
  size_t start = std::string::npos;
  for (size_t pos = 0; pos < script.size();) {
    const size_t skipped = TSqlLexer::SkipQuoted(script, pos);
    const bool comment = skipped != pos && (script[pos] == '-' || script[pos] == '/');
    if (skipped != pos) {
      if (!comment && start == std::string::npos) start = pos;
      pos = skipped;
      continue;
    }
    const char c = script[pos];
    if (c == ';') {
      if (start != std::string::npos) statements.emplace_back(start, pos);
      start = std::string::npos;
    } else if (start == std::string::npos && !std::isspace(static_cast<unsigned char>(c))) {
      start = pos;
    }
    ++pos;
  }
  if (start != std::string::npos) statements.emplace_back(start, script.size());
  return statements;
}

// True when the statement is `first` alone, or `first second` (`second` null:
// `first` alone).
bool TSqlScript::IsWords(const std::string& script, std::pair<size_t, size_t> statement,
                         const char* first, const char* second) {
  const std::string_view text(script.data(), statement.second);
  size_t pos = statement.first;
  if (!TSqlLexer::WordAt(text, pos, first)) return false;
  pos = AfterWord(text, pos, first);
  if (second) {
    if (!TSqlLexer::WordAt(text, pos, second)) return false;
    pos = AfterWord(text, pos, second);
  }
  return pos >= text.size();
}

std::vector<std::string> TSqlScript::CreatedTables(const std::string& script) {
  std::vector<std::string> tables;
  for (const std::string& batch : Batches(script))
    for (const std::string& table : CreatedTablesOfBatch(batch)) tables.push_back(table);
  return tables;
}

std::vector<std::string> TSqlScript::CreatedTablesOfBatch(const std::string& batch) {
  std::vector<std::string> tables;
  for (auto [from, to] : Spans(batch)) {
    const std::string_view text(batch.data(), to);
    size_t pos = from;
    if (!TSqlLexer::WordAt(text, pos, "CREATE")) continue;
    pos = AfterWord(text, pos, "CREATE");
    if (!TSqlLexer::WordAt(text, pos, "TABLE")) continue;
    pos = AfterWord(text, pos, "TABLE");
    if (TSqlLexer::WordAt(text, pos, "IF")) {
      pos = AfterWord(text, pos, "IF");
      pos = AfterWord(text, pos, "NOT");
      pos = AfterWord(text, pos, "EXISTS");
    }
    std::string name(text.substr(pos, NameEnd(text, pos) - pos));
    if (name.size() >= 2 && !TSqlLexer::IsWordChar(name.front()))
      name = name.substr(1, name.size() - 2);
    if (!name.empty()) tables.push_back(name);
  }
  return tables;
}
