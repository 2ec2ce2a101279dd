#pragma once

#include <string>
#include <string_view>

/// How a test reaches its SQLite file: through the sqlite3 backend, or
/// through ODBC with the SQLite3 ODBC driver (Provider "ODBC", Driver
/// "SQLite3", DBName = the file).
enum class TestBackend { Sqlite3, Odbc };

/// "sqlite3" or "odbc" (test names).
const char* TestBackendName(TestBackend backend);

class TDBConnPool;

/// UTF-8 bytes of a u8"..." literal as a std::string (C++20 makes those
/// literals char8_t).
inline std::string U8(std::u8string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

/// A fresh SQLite database for one test: a new temporary folder holding a
/// file with sql/sqlite/schema.sql applied. Arranging and checking data
/// goes through the raw sqlite3 API, so it does not depend on the library.
class TestDatabase {
 public:
  TestDatabase();
  /// Releases the library's pool when it points at this file (and clears the
  /// shared context's reference to it); removes the folder.
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  /// The database file.
  const std::string& Path() const { return path_; }
  /// The temporary folder holding the file (removed with it).
  const std::string& Folder() const { return folder_; }
  /// Runs statements through raw sqlite3 (UTF-8 text). Raises
  /// std::runtime_error with SQLite's message on failure.
  void Exec(const std::string& utf8Sql);
  void Exec(std::u8string_view utf8Sql) { Exec(U8(utf8Sql)); }
  /// First column of the first row as UTF-8 text; "" for no row or NULL.
  std::string QueryText(const std::string& utf8Sql);
  std::string QueryText(std::u8string_view utf8Sql) { return QueryText(U8(utf8Sql)); }
  /// First column of the first row as an integer; 0 for no row or NULL.
  long long QueryInt(const std::string& utf8Sql);
  long long QueryInt(std::u8string_view utf8Sql) { return QueryInt(U8(utf8Sql)); }

  /// The library's pool singleton and TSingleComm now use this file through
  /// the sqlite3 backend (any old pool is released first).
  void UseAsLibraryPool(int minSize = 1, int maxSize = 5);
  /// As UseAsLibraryPool, through the chosen backend; returns the pool.
  TDBConnPool* UseAsLibraryPoolThrough(TestBackend backend, int minSize = 1, int maxSize = 5);
  /// Sets the pool's platform and settings to reach this file through
  /// `backend`, without opening anything.
  void Configure(TDBConnPool& pool, TestBackend backend) const;

 private:
  std::string folder_;
  std::string path_;
};
