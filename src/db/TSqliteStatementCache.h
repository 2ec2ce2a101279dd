#pragma once

#include <map>
#include <string>
#include <unordered_set>

struct sqlite3;
struct sqlite3_stmt;

/// Prepared statements of one SQLite connection, kept by their text (for
/// an insert, the text with `?` for each value: TSqlLiterals), so that a bulk
/// write (an import saving thousands of entries, each with its checks and
/// history rows) parses each statement once. Only a text met a second time is
/// kept: one-off texts (a lookup of one name) would only push out the others.
/// A kept statement is reset after every use and so holds no lock; SQLite
/// prepares it again by itself when the schema changes.
class TSqliteStatementCache {
 public:
  /// At most this many shapes are kept, and this many texts remembered as
  /// met once; a full cache or memory starts over.
  static constexpr size_t kCapacity = 64;
  static constexpr size_t kMetCapacity = 4096;

  TSqliteStatementCache() = default;
  ~TSqliteStatementCache();
  TSqliteStatementCache(const TSqliteStatementCache&) = delete;
  TSqliteStatementCache& operator=(const TSqliteStatementCache&) = delete;

  /// The statement kept for `shape` on `db`, prepared now when met before.
  /// The caller resets it after use. Null when it is met for the first
  /// time, holds more than one statement or SQLite refuses it: it is then run
  /// the ordinary way.
  sqlite3_stmt* Prepared(sqlite3* db, const std::string& shape);
  /// Finalizes every kept statement: before the connection closes.
  void Clear();
  size_t Size() const { return statements_.size(); }

 private:
  std::map<std::string, sqlite3_stmt*, std::less<>> statements_;
  std::unordered_set<size_t> metOnce_;  // hashes of texts met once
};
