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
  /// Command time-out in seconds (ODBC query time-out; the SQLite busy
  /// wait is never longer).
  int TimeoutSeconds = 60;
  /// How long a connect to a server may take (cfg attribute ConnectTimeout):
  /// the drivers' own connect time-out, and the client-side limit after which
  /// the library gives up on a connect or on a statement that gets no answer
  /// (that limit is TimeoutSeconds + ConnectTimeoutSeconds for a statement).
  int ConnectTimeoutSeconds = 10;
  /// How long a statement on the embedded file waits for a lock another
  /// program holds (cfg attribute BusyTimeout), at most TimeoutSeconds.
  int BusyTimeoutSeconds = 5;
};
