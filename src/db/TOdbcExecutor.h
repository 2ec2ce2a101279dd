#pragma once

#include <string>
#include <vector>

#include "TDataSetImpl.h"

namespace soci {
class session;
}

/// Statements on ODBC connections: queries and commands through SOCI (each
/// with the command time-out), and commands with blob parameters through the
/// session's native connection handle, since SOCI's ODBC backend refuses a
/// blob parameter.
class TOdbcExecutor {
 public:
  /// Runs a query and copies its rows (converted to GBK) into `out`.
  static void Query(soci::session& session, const std::string& utf8Sql, int timeoutSeconds,
                    TDataSet::Impl& out);
  /// Runs a command without parameters.
  static void Execute(soci::session& session, const std::string& utf8Sql, int timeoutSeconds);
  /// Runs a command whose `count` positional parameters (`?`) take the next
  /// blobs, starting at `nextBlob`, which advances. With `out`, the rows the
  /// command returns are read into it.
  static void ExecuteWithBlobs(soci::session& session, const std::string& positionalSql, int count,
                               const std::vector<std::string>& blobs, size_t& nextBlob,
                               int timeoutSeconds, TDataSet::Impl* out);
  /// The database system the driver reports (SQL_DBMS_NAME), for example
  /// "Microsoft SQL Server", "PostgreSQL" or "SQLite".
  static std::string DbmsName(soci::session& session);
};
