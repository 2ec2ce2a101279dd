#include "SqlScriptCheck.h"

#include <sqlite3.h>

#include <cctype>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "TSqlLexer.h"
#include "TSqlScript.h"

using FuzzCheck::Require;

namespace {

// The characters of the text outside comments that are neither white space
// (as the script reader counts it) nor ";": what a split into statements
// must keep, in order.
std::string Code(const std::string& sql) {
  std::string code;
  for (size_t pos = 0; pos < sql.size();) {
    const size_t skipped = TSqlLexer::SkipQuoted(sql, pos);
    if (skipped != pos && TSqlLexer::IsComment(sql, pos)) {
      pos = skipped;
      continue;
    }
    for (size_t end = skipped != pos ? skipped : pos + 1; pos < end; ++pos)
      if (!std::isspace(static_cast<unsigned char>(sql[pos])) && sql[pos] != ';') code += sql[pos];
  }
  return code;
}

bool HoldsGoLine(const std::string& batch) {
  size_t start = 0;
  while (start <= batch.size()) {
    size_t end = batch.find('\n', start);
    if (end == std::string::npos) end = batch.size();
    const std::string line = TSqlLexer::Trim(std::string_view(batch).substr(start, end - start));
    if (line.size() == 2 && (line[0] | 0x20) == 'g' && (line[1] | 0x20) == 'o') return true;
    start = end + 1;
  }
  return false;
}

void CheckBatch(const std::string& batch, std::string_view input) {
  Require(!Code(batch).empty(), "a batch holds code", input);
  Require(!HoldsGoLine(batch), "a batch holds no GO line", input);
  const std::vector<std::string> statements = TSqlScript::SqliteStatements(batch);
  std::string kept;
  for (size_t i = 0; i < statements.size(); ++i) {
    kept += Code(statements[i]);
    if (i + 1 < statements.size())
      Require(sqlite3_complete(statements[i].c_str()) != 0,
              "each statement but the last is complete", input);
  }
  Require(kept == Code(batch), "the statements keep all of the batch's code", input);
}

}  // namespace

void CheckSqlScript(std::string_view input) {
  // A script is a text file: it ends at a NUL byte as SQLite reads it.
  const std::string script(input.substr(0, input.find('\0')));
  for (const std::string& batch : TSqlScript::Batches(script)) CheckBatch(batch, input);
  for (const std::string& table : TSqlScript::CreatedTables(script))
    Require(!table.empty() && script.find(table) != std::string::npos,
            "a created table's name occurs in the script", input);
}
