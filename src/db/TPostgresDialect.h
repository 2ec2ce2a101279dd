#pragma once

#include <string>

/// Rewrites the T-SQL forms the system emits into PostgreSQL's dialect (text
/// in UTF-8), for ODBC connections whose database is PostgreSQL. It leans on
/// three helpers of sql/postgresql/schema.sql:
///  - `@@IDENTITY` becomes `tesmira_identity()` (the session's last identity,
///    Null before any insert, as SQL Server answers);
///  - a statement followed directly by `SELECT @@IDENTITY` gets the `;` that
///    PostgreSQL needs between them and stays one batch: the server answers
///    the insert's row count first and the identity row after it, as SQL
///    Server does;
///  - `DELETE table WHERE ...` gets its FROM; `SELECT TOP n ...` becomes
///    `SELECT ... LIMIT n`;
///  - every expression of a statement's own ORDER BY becomes
///    `tesmira_gbk(expression)`, so that text sorts by its GBK bytes as a
///    server with a Chinese collation sorts it (numbers sort as numbers); a
///    column number stays a column number (sorted by the column's own
///    collation);
///  - `text + integer` (SQL Server converts the text) is an operator of the
///    schema, nothing to rewrite.
/// Literals, quoted names and comments are never changed (TSqlRewrite).
class TPostgresDialect {
 public:
  /// The text to send: one statement or a batch.
  static std::string Adapt(const std::string& utf8Sql);
};
