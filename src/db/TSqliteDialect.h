#pragma once

#include <string>
#include <vector>

/// Rewrites the few T-SQL forms the system emits into SQLite's dialect
/// (text in UTF-8). SQL Server receives its text unchanged; this runs only
/// for connections whose database is SQLite.
///  - `SELECT @@IDENTITY` reads the row id of the last insert;
///  - a statement followed directly by that identity query becomes two
///    statements, run in order;
///  - `DELETE table WHERE ...` gets its FROM;
///  - `SELECT TOP n ...` becomes `SELECT ... LIMIT n`;
///  - on connections that have the GBK collation (the sqlite3 backend), every
///    term of a statement's own ORDER BY (not of a subquery) without a
///    collation of its own gets `COLLATE TESMIRA_GBK`, so names come in the
///    order a server with a Chinese collation gives them (GBK byte order:
///    pinyin for the common characters) instead of Unicode code point order.
///    Numbers are not affected (a collation only orders text).
/// Literals, quoted names and comments are never changed (TSqlRewrite).
class TSqliteDialect {
 public:
  /// The collation TSqliteExecutor::RegisterGbkCollation registers.
  static constexpr const char* GbkCollation = "TESMIRA_GBK";

  /// The statements to run, in order (one unless the identity query was
  /// appended to another statement). `gbkOrder`: the connection has the GBK
  /// collation, ORDER BY terms are given it.
  static std::vector<std::string> Adapt(const std::string& utf8Sql, bool gbkOrder = false);
  /// The ORDER BY rewrite alone (one statement).
  static std::string OrderByGbk(const std::string& sql);
};
