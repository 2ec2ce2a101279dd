#pragma once

#include <memory>
#include <string>
#include <string_view>

/// How a test reaches its database: the embedded SQLite file through the
/// sqlite3 backend or through ODBC with the SQLite3 ODBC driver (Provider
/// "ODBC", Driver "SQLite3", DBName = the file), or a database on the test
/// server (TestServer) through ODBC with the PostgreSQL Unicode driver.
enum class TestBackend { Sqlite3, Odbc, Postgres };

/// "sqlite3", "odbc" or "postgresql" (test names).
const char* TestBackendName(TestBackend backend);

class TDBConnPool;
class TestPgClient;

/// UTF-8 bytes of a u8"..." literal as a std::string (C++20 makes those
/// literals char8_t).
inline std::string U8(std::u8string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

/// A fresh database for one test, holding the schema of its kind: a new
/// temporary folder with a SQLite file (sql/sqlite/schema.sql), or a new
/// database on the test server (sql/postgresql/schema.sql; the folder is
/// made as well, for files a test needs). Arranging and checking data goes
/// through the raw client of the database (sqlite3, libpq), so it does not
/// depend on the library.
class TestDatabase {
 public:
  /// Sqlite3 and Odbc make the same kind of database (a SQLite file).
  explicit TestDatabase(TestBackend backend = TestBackend::Sqlite3);
  /// Releases the library's pool when it points at this database (and clears
  /// the shared context's reference to it); removes the database and folder.
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  /// The database file, or the database's name on the server.
  const std::string& Path() const { return path_; }
  /// The temporary folder of this test (removed with it).
  const std::string& Folder() const { return folder_; }
  /// True for a database on the test server.
  bool OnServer() const { return server_ != nullptr; }
  /// Runs statements through the raw client (UTF-8 text). Raises
  /// std::runtime_error with the database's message on failure.
  void Exec(const std::string& utf8Sql);
  void Exec(std::u8string_view utf8Sql) { Exec(U8(utf8Sql)); }
  /// First column of the first row as UTF-8 text; "" for no row or NULL.
  std::string QueryText(const std::string& utf8Sql);
  std::string QueryText(std::u8string_view utf8Sql) { return QueryText(U8(utf8Sql)); }
  /// First column of the first row as an integer; 0 for no row or NULL.
  long long QueryInt(const std::string& utf8Sql);
  long long QueryInt(std::u8string_view utf8Sql) { return QueryInt(U8(utf8Sql)); }
  /// Makes the database refuse `event` (INSERT, UPDATE or DELETE) on
  /// `table` with the error "refused by the database" (a trigger), and
  /// allows it again.
  void RefuseWrites(const std::string& table, const std::string& event);
  void AllowWrites(const std::string& table, const std::string& event);

  /// The library's pool singleton and TSingleComm now use this database
  /// through the sqlite3 backend, or through the server's driver (any old
  /// pool is released first).
  void UseAsLibraryPool(int minSize = 1, int maxSize = 5);
  /// As UseAsLibraryPool, through the chosen backend; returns the pool.
  TDBConnPool* UseAsLibraryPoolThrough(TestBackend backend, int minSize = 1, int maxSize = 5);
  /// Sets the pool's platform and settings to reach this database through
  /// `backend` (which must suit the kind of database), without opening
  /// anything.
  void Configure(TDBConnPool& pool, TestBackend backend) const;

 private:
  std::string folder_;
  std::string path_;
  std::unique_ptr<TestPgClient> server_;
};
