#include "SqlRewriteCheck.h"

#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "TPostgresDialect.h"
#include "TSqlParameters.h"
#include "TSqliteDialect.h"

using FuzzCheck::Require;

namespace {

// A text split into its quoted pieces (literals, quoted names, comments) and
// the code between them.
struct Reading {
  std::vector<std::string> Quoted;  // complete pieces, in order
  std::string Unterminated;         // a piece the text ends inside, if any
  std::string Code;                 // everything outside the pieces
};

// The end of the piece that opens at `pos`, or npos when the text ends
// inside it. A line comment ends before its line break (or with the text).
size_t PieceEnd(const std::string& sql, size_t pos) {
  const char c = sql[pos];
  if (c == '-') {
    const size_t end = sql.find('\n', pos);
    return end == std::string::npos ? sql.size() : end;
  }
  if (c == '/') {
    const size_t end = sql.find("*/", pos + 2);
    return end == std::string::npos ? std::string::npos : end + 2;
  }
  if (c == '[') {
    const size_t end = sql.find(']', pos + 1);
    return end == std::string::npos ? end : end + 1;
  }
  for (size_t i = pos + 1; i < sql.size(); ++i) {
    if (sql[i] != c) continue;
    if (i + 1 < sql.size() && sql[i + 1] == c) {
      ++i;  // doubled: the character itself
      continue;
    }
    return i + 1;
  }
  return std::string::npos;
}

bool OpensPiece(const std::string& sql, size_t pos) {
  const char c = sql[pos];
  if (c == '\'' || c == '"' || c == '`' || c == '[') return true;
  const bool pair = pos + 1 < sql.size();
  return pair && ((c == '-' && sql[pos + 1] == '-') || (c == '/' && sql[pos + 1] == '*'));
}

Reading Read(const std::string& sql) {
  Reading r;
  for (size_t pos = 0; pos < sql.size();) {
    if (!OpensPiece(sql, pos)) {
      r.Code += sql[pos++];
      continue;
    }
    const size_t end = PieceEnd(sql, pos);
    if (end == std::string::npos) {
      r.Unterminated = sql.substr(pos);
      break;
    }
    r.Quoted.push_back(sql.substr(pos, end - pos));
    r.Code += ' ';  // a piece separates the code around it
    pos = end;
  }
  return r;
}

// True when the code holds `word` (ASCII case ignored) as a whole word.
bool CodeHolds(const std::string& code, const std::string& word) {
  auto wordChar = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '@' || c == '#' || c == '$' || static_cast<unsigned char>(c) >= 0x80;
  };
  std::string upper = code;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  for (size_t at = upper.find(word); at != std::string::npos; at = upper.find(word, at + 1)) {
    const bool before = at == 0 || !wordChar(upper[at - 1]);
    const bool after = at + word.size() == upper.size() || !wordChar(upper[at + word.size()]);
    if (before && after) return true;
  }
  return false;
}

// The pieces of the statements, read one after the other; the text ending
// inside a piece is told by the last statement.
void RequireSamePieces(const Reading& in, const std::vector<std::string>& statements,
                       const char* what, const std::string& sql) {
  std::vector<std::string> quoted;
  for (size_t i = 0; i < statements.size(); ++i) {
    const Reading r = Read(statements[i]);
    quoted.insert(quoted.end(), r.Quoted.begin(), r.Quoted.end());
    if (i + 1 < statements.size())
      Require(r.Unterminated.empty(), std::string(what) + ": only the last may end open", sql);
    else
      Require(r.Unterminated.empty() == in.Unterminated.empty(),
              std::string(what) + ": an open piece stays open", sql);
  }
  Require(quoted == in.Quoted, std::string(what) + " keeps every quoted piece", sql);
}

size_t Markers(const std::string& code) {
  size_t n = 0;
  for (char c : code) n += c == '?';
  return n;
}

}  // namespace

void CheckSqlRewrite(std::string_view input) {
  const std::string sql(input);
  const Reading in = Read(sql);

  for (const bool gbkOrder : {false, true}) {
    const std::vector<std::string> adapted = TSqliteDialect::Adapt(sql, gbkOrder);
    Require(!adapted.empty() && adapted.size() <= 2, "one or two statements", sql);
    RequireSamePieces(in, adapted, "the SQLite rewrite", sql);
    const bool nothingToDo = !CodeHolds(in.Code, "SELECT") && !CodeHolds(in.Code, "DELETE") &&
                             !CodeHolds(in.Code, "@@IDENTITY") &&
                             !(gbkOrder && CodeHolds(in.Code, "ORDER"));
    if (nothingToDo)
      Require(adapted == std::vector<std::string>{sql}, "a text with nothing to rewrite stays",
              sql);
  }

  // The server's rewrite: one batch, and the same pieces.
  const std::string batch = TPostgresDialect::Adapt(sql);
  RequireSamePieces(in, {batch}, "the PostgreSQL rewrite", sql);
  if (!CodeHolds(in.Code, "SELECT") && !CodeHolds(in.Code, "DELETE") &&
      !CodeHolds(in.Code, "@@IDENTITY") && !CodeHolds(in.Code, "ORDER"))
    Require(batch == sql, "a text with nothing to rewrite stays on the server", sql);

  int count = -1;
  const std::string positional = TSqlParameters::ToPositional(sql, count);
  RequireSamePieces(in, {positional}, "the parameter markers", sql);
  Require(count >= 0 && Markers(Read(positional).Code) == Markers(in.Code) + count,
          "one marker per parameter", sql);
}
