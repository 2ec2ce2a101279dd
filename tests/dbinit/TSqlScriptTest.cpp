// The shipped SQL as tesmira-dbinit reads it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "TSqlScript.h"

namespace fs = std::filesystem;

namespace {

std::string Script(const fs::path& relative) {
  std::ifstream in(fs::path(TESMIRA_SQL_DIR) / relative, std::ios::binary);
  EXPECT_TRUE(in) << relative;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// A site that moves between database systems finds the same tables.
TEST(SqlScript, EverySchemaCreatesTheTablesOfTheSqliteOne) {
  const auto expected = TSqlScript::CreatedTables(Script("sqlite/schema.sql"));
  EXPECT_EQ(expected,
            (std::vector<std::string>{"TJCategories", "TJItem", "TJSampleType", "TJSampleGroup",
                                      "sfChargeItem", "TJCatalogueVersion", "TJCatalogueHistory"}));
  std::stringstream folders(TESMIRA_SCHEMA_FOLDERS);
  for (std::string folder; std::getline(folders, folder, ',');)
    EXPECT_EQ(TSqlScript::CreatedTables(Script(fs::path(folder) / "schema.sql")), expected)
        << folder;
}

TEST(SqlScript, BatchesEndAtGoAndStatementsKeepTriggerBodiesWhole) {
  const std::string server = Script("sqlserver/schema.sql");
  const auto batches = TSqlScript::Batches(server);
  EXPECT_EQ(static_cast<int>(batches.size()), Count(server, "\nGO\n"));
  for (const std::string& batch : batches) EXPECT_EQ(batch.find("\nGO\n"), std::string::npos);

  const std::string sqlite = Script("sqlite/schema.sql");
  const auto statements = TSqlScript::SqliteStatements(TSqlScript::Batches(sqlite).at(0));
  EXPECT_EQ(static_cast<int>(statements.size()),
            Count(sqlite, "CREATE ") + Count(sqlite, "\nINSERT "));
  EXPECT_NE(statements.back().find("RAISE(ABORT"), std::string::npos);
  EXPECT_NE(statements.back().find("END;"), std::string::npos);
}

// The demonstration data carries its own transaction for a command-line
// client; inside the set-up's transaction only the rows are left.
TEST(SqlScript, ATransactionWrappingTheWholeScriptIsLeftOut) {
  const std::string demo = Script("demo-data.sql");
  const auto batches = TSqlScript::Batches(demo);
  ASSERT_EQ(batches.size(), 1u);
  const auto statements = TSqlScript::SqliteStatements(batches[0]);
  EXPECT_EQ(static_cast<int>(statements.size()), Count(demo, "INSERT INTO "));
  for (const std::string& statement : statements)
    EXPECT_EQ(statement.find("INSERT INTO "), statement.find_first_not_of(" \n")) << statement;

  const std::string unpaired = "INSERT INTO t VALUES (1);\nCOMMIT;\n";
  EXPECT_EQ(TSqlScript::Batches(unpaired), std::vector<std::string>{unpaired});
}

}  // namespace
