#pragma once

#include <string>
#include <vector>

class TDBConnPool;
class TDBConnection;

/// Creates the catalogue tables in the database that cfg/cfg.config names,
/// from the SQL kept for that database system (<SqlDir>/<system>/schema.sql,
/// the system being the one the connection reports), optionally followed by
/// the demonstration data (<SqlDir>/demo-data.sql).
///
/// A database that already holds any of the tables is refused. Everything
/// runs in one transaction, so a failure leaves the database as it was; an
/// embedded database file that the run made is removed again.
class TDatabaseSetup {
 public:
  /// cfg/cfg.config in the library's folder; a relative SQLite file name in
  /// it is taken in that folder, as the library takes it.
  std::string ConfigFile;
  /// The folder holding one sub-folder per database system and the demo data.
  std::string SqlDir;
  bool DemoData = false;
  /// Busy time-out (SQLite) or query time-out (ODBC) in seconds.
  int TimeoutSeconds = 60;

  /// Does the work and says what was done. Raises std::runtime_error with a
  /// message for the person running it (UTF-8) on every failure.
  std::string Run();

  /// The sql/ folder of a database system as the connection names it
  /// (SQLite, Microsoft SQL Server, PostgreSQL); empty when none is kept.
  static std::string SchemaFolderOf(const std::string& dbms);

 private:
  TDBConnPool& LoadSettings();
  /// Makes a relative SQLite file name absolute and creates a missing file
  /// (and its folders). Returns the file when this run created it.
  std::string PrepareSqliteFile(TDBConnPool& pool);
  std::string CreateTables(TDBConnPool& pool);
  std::string ReadScript(const std::string& file) const;
  void RefuseExistingTables(TDBConnection& connection, const std::vector<std::string>& tables);
  void RunInOneTransaction(TDBConnection& connection, const std::vector<std::string>& batches);
  static std::string Where(TDBConnPool& pool);
};
