#pragma once

#include <string>

/// How connections reach their database (the optional Provider and Driver
/// attributes of cfg/cfg.config), with the time-out every statement gets.
///  - Provider "SQLite": the embedded database file named by Schema (a
///    relative name is taken beside the library);
///  - Provider "ODBC": any ODBC driver (Driver), keywords SERVER = Schema,
///    DATABASE = DBName, UID, PWD; the SQLite3 ODBC driver takes its
///    database file from DATABASE;
///  - Provider empty or "SQLOLEDB.1": SQL Server through ODBC with Driver
///    (default "FreeTDS").
struct TDBPlatform {
  std::string Provider;
  std::string Driver;
  /// Command time-out in seconds (ODBC query time-out, SQLite busy time-out).
  int TimeoutSeconds = 60;
};
