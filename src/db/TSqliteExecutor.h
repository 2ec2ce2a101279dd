#pragma once

#include <string>
#include <vector>

#include "Exceptions.h"
#include "TDataSetImpl.h"

struct sqlite3;
class TSqliteStatementCache;

/// The direct read and execute path for SQLite connections: statements are
/// prepared on the session's native handle and their rows copied straight
/// into the compact storage of a TDataSet, converting UTF-8 to GBK.
class TSqliteExecutor {
 public:
  /// Runs every statement of `utf8Sql` in order. Blob parameters (`?`) are
  /// bound from `blobs` starting at `nextBlob`, which advances. When `out`
  /// is given, the rows of the last statement that returns columns go there.
  /// Errors raise EDBException with SQLite's message (GBK). With `cache`,
  /// an INSERT whose literals are all values runs as the cached statement
  /// of its shape, its literals bound with their own types.
  static void Run(sqlite3* db, const std::string& utf8Sql, const std::vector<std::string>& blobs,
                  size_t& nextBlob, TDataSet::Impl* out, TSqliteStatementCache* cache = nullptr);

  /// Registers, on this connection only, the collation the rewritten ORDER
  /// BY clauses name (TSqliteDialect::GbkCollation): text ordered by its GBK
  /// bytes, ASCII letters without case. Nothing is written into the file,
  /// so any SQLite tool still reads it.
  static void RegisterGbkCollation(sqlite3* db);

 private:
  static void ReadRows(sqlite3* db, struct sqlite3_stmt* stmt, TDataSet::Impl& out);
  /// Runs `utf8Sql` through the cache; false when it is not of a shape kept
  /// there (nothing was run).
  static bool RunCached(sqlite3* db, const std::string& utf8Sql, TSqliteStatementCache& cache);
  [[noreturn]] static void Fail(sqlite3* db);

 public:
  /// The kind of failure an SQLite result code (extended or primary) names.
  static TDBErrorKind KindOfCode(int code);
};
