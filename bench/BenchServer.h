#pragma once

#include <sql.h>

#include <string>

#include "BenchSupport.h"

class TestDatabase;

/// What the server benchmarks share: the live PostgreSQL server of the test
/// support, the 50 000-item catalogue of window_open on it, a raw ODBC
/// connection for the baselines and the server's statement log.
namespace BenchServer {

using namespace BenchSupport::WindowCatalogue;  // the catalogue of window_open

/// True when the test server runs; else prints "<name>: skipped (...)"
/// and the caller ends with 0 (a machine without the server programs).
bool ServerOrSkip(const char* name);

/// The catalogue of window_open (the same rows as the embedded benchmark
/// makes), written through the raw client.
void FillCatalogue(TestDatabase& db);

/// With TESMIRA_BENCH_STATEMENT_LOG set, the server logs every statement
/// the connections to `db` opened from now on send (log_statement=all);
/// CopyStatementLog then copies the server's log to that file.
void LogStatements(TestDatabase& db);
void CopyStatementLog();

/// A raw ODBC connection to a database of the test server through the
/// PostgreSQL Unicode driver (its Unix socket, or 127.0.0.1:port through a
/// relay), without the library: the baselines.
class RawOdbc {
 public:
  RawOdbc(const std::string& database, int relayPort = 0);
  ~RawOdbc();
  RawOdbc(const RawOdbc&) = delete;
  RawOdbc& operator=(const RawOdbc&) = delete;
  /// SQLExecDirect and SQLFetch to the end, each cell read as text with
  /// SQLGetData (no conversion); returns the rows read.
  int Read(const std::string& utf8Sql);
  /// SQLExecDirect of a command.
  void Exec(const std::string& utf8Sql);

 private:
  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
};

}  // namespace BenchServer
