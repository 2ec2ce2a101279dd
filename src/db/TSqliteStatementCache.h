#pragma once

#include <map>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

/// Prepared statements of one SQLite connection, kept by their text with
/// `?` for each value (TSqlLiterals), so that a bulk write (an import saving
/// thousands of entries, each with its history rows) parses each statement
/// shape once. A kept statement is reset after every use and so holds no
/// lock; SQLite prepares it again by itself when the schema changes.
class TSqliteStatementCache {
 public:
  /// At most this many shapes are kept; a full cache starts over.
  static constexpr size_t kCapacity = 64;

  TSqliteStatementCache() = default;
  ~TSqliteStatementCache();
  TSqliteStatementCache(const TSqliteStatementCache&) = delete;
  TSqliteStatementCache& operator=(const TSqliteStatementCache&) = delete;

  /// The statement prepared for `shape` on `db`, prepared now if new. The
  /// caller resets it after use. Null when the text holds more than one
  /// statement or SQLite refuses it: it is then run the ordinary way.
  sqlite3_stmt* Prepared(sqlite3* db, const std::string& shape);
  /// Finalizes every kept statement: before the connection closes.
  void Clear();
  size_t Size() const { return statements_.size(); }

 private:
  std::map<std::string, sqlite3_stmt*, std::less<>> statements_;
};
