#pragma once

#include <optional>
#include <string>

struct pg_conn;

/// A raw libpq connection to one database of the test server, for arranging
/// and checking rows without the library (as raw sqlite3 does for the
/// embedded database). Text is UTF-8. A connection broken by a server
/// restart is opened again on its next use.
class TestPgClient {
 public:
  /// Connects through the socket folder and port of the test server.
  TestPgClient(const std::string& socketFolder, int port, const std::string& database);
  ~TestPgClient();
  TestPgClient(const TestPgClient&) = delete;
  TestPgClient& operator=(const TestPgClient&) = delete;

  /// Runs statements (several may be separated by ';'). Raises
  /// std::runtime_error with the server's message on failure.
  void Exec(const std::string& utf8Sql);
  /// First column of the first row; empty for no row or NULL.
  std::optional<std::string> First(const std::string& utf8Sql);

 private:
  void Connect();
  /// Runs `utf8Sql` and hands the result to `read` (once more after a
  /// reconnect when the connection turned out to be broken).
  template <class Read>
  void Run(const std::string& utf8Sql, Read read);

  std::string conninfo_;
  pg_conn* conn_ = nullptr;
};
