#pragma once

#include <sql.h>

#include <string>
#include <vector>

#include "TClientOrder.h"
#include "TDataSetImpl.h"

/// Statements on ODBC connections, on native statement handles of the
/// session's connection handle (connections and transactions stay with
/// SOCI). A text may be a batch of statements: a server answers it with one
/// result per statement, and an insert's row count comes before the rows of
/// a query that follows it. Failures raise TOdbcError.
class TOdbcExecutor {
 public:
  /// Runs `utf8Sql` with the command time-out (0: the statement handle gets
  /// none, the connection carries it). Its `parameterCount`
  /// positional parameters (`?`) take the next blobs from `nextBlob` on
  /// (the caller has checked that there are enough), which advances. With `out`, the rows of the
  /// first result that has columns are read into it (converted to GBK); results without columns are
  /// stepped past. Every result is consumed, so every statement of a batch runs and its error is
  /// seen. With `inBlocks` the rows are fetched in blocks into bound
  /// arrays (the driver must support SQL_GD_BLOCK and SQL_GD_BOUND, for the
  /// long texts). With `order` (not empty), the rows read are sorted into
  /// `out` in that order (TClientOrder).
  static void Run(SQLHDBC dbc, const std::string& utf8Sql, int parameterCount,
                  const std::vector<std::string>& blobs, size_t& nextBlob, int timeoutSeconds,
                  bool inBlocks, TDataSet::Impl* out,
                  const std::vector<TClientOrder::Term>* order = nullptr);
  /// The cheap check of a connection that has seen an error: false when a
  /// trivial query does not reach the database. A refusal that only a live
  /// server gives (an invalid transaction state) counts as reached.
  static bool Answers(SQLHDBC dbc, int timeoutSeconds);
  /// The database system the driver reports (SQL_DBMS_NAME), for example
  /// "Microsoft SQL Server", "PostgreSQL" or "SQLite".
  static std::string DbmsName(SQLHDBC dbc);
};
