#pragma once

#include <string>
#include <vector>

/// A schema or data script as a client program runs it (text in UTF-8).
class TSqlScript {
 public:
  /// The batches to send to the database, in order: the script split at
  /// lines that hold only GO (the T-SQL batch separator, any case); blank
  /// batches are dropped. A script wrapped in BEGIN TRANSACTION ... COMMIT,
  /// as a data script loaded by a command-line client is, loses the wrapper:
  /// the caller runs every script in one transaction of its own.
  static std::vector<std::string> Batches(const std::string& script);
  /// The statements of one batch, for SQLite (whose ODBC driver takes one
  /// statement at a time): split where SQLite itself sees a statement end,
  /// so a trigger body stays whole. Pieces holding only comments are dropped.
  static std::vector<std::string> SqliteStatements(const std::string& batch);
  /// The tables the script creates (CREATE TABLE [IF NOT EXISTS] name), in
  /// order, without brackets or quotes.
  static std::vector<std::string> CreatedTables(const std::string& script);

 private:
  static std::vector<std::string> CreatedTablesOfBatch(const std::string& batch);
  static std::vector<std::string> SplitAtGo(const std::string& script);
  static std::string Unwrapped(const std::string& script);
  /// Start and end of every piece between semicolons outside literals and
  /// comments (a trigger body makes several).
  static std::vector<std::pair<size_t, size_t>> Spans(const std::string& script);
  static bool IsWords(const std::string& script, std::pair<size_t, size_t> statement,
                      const char* first, const char* second);
};
