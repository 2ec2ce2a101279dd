#pragma once

#include <string>
#include <vector>

#include "Exceptions.h"
#include "TClientOrder.h"
#include "TDataSetImpl.h"

struct sqlite3;
class TInsertRows;
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
  /// a statement met before runs as the kept prepared statement of its text;
  /// for an INSERT whose literals are all values, of its shape, the literals
  /// bound with their own types.
  /// With `order` (terms TClientOrder::Split took out of the statement),
  /// the rows are ordered after reading as SQLite orders them under the GBK
  /// collation: Nulls first, then numbers, texts, blobs; equal keys in the
  /// order read.
  static void Run(sqlite3* db, const std::string& utf8Sql, const std::vector<std::string>& blobs,
                  size_t& nextBlob, TDataSet::Impl* out, TSqliteStatementCache* cache = nullptr,
                  const std::vector<TClientOrder::Term>* order = nullptr);

  /// Inserts `rows` through one statement of their shape, kept in `cache`,
  /// their text converted to UTF-8 and bound as text, their numbers as
  /// integers: what the literal statement would store. Errors as Run.
  static void InsertRows(sqlite3* db, const TInsertRows& rows, TSqliteStatementCache& cache);

  /// Registers, on this connection only, the collation the rewritten ORDER
  /// BY clauses name (TSqliteDialect::GbkCollation): text ordered by its GBK
  /// bytes, ASCII letters without case. Nothing is written into the file,
  /// so any SQLite tool still reads it.
  static void RegisterGbkCollation(sqlite3* db);

 private:
  static void ReadRows(sqlite3* db, struct sqlite3_stmt* stmt, TDataSet::Impl& out,
                       const std::vector<TClientOrder::Term>* order);
  /// Runs `utf8Sql` through the cache, its rows (if any) to `out`; false
  /// when no statement is kept for it (nothing was run).
  static bool RunCached(sqlite3* db, const std::string& utf8Sql, TSqliteStatementCache& cache,
                        TDataSet::Impl* out, const std::vector<TClientOrder::Term>* order);
  [[noreturn]] static void Fail(sqlite3* db);

 public:
  /// The kind of failure an SQLite result code (extended or primary) names.
  static TDBErrorKind KindOfCode(int code);
};
