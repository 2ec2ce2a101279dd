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
///  - `SELECT TOP n ...` becomes `SELECT ... LIMIT n`.
/// Literals, quoted names and comments are never changed.
class TSqliteDialect {
 public:
  /// The statements to run, in order (one unless the identity query was
  /// appended to another statement).
  static std::vector<std::string> Adapt(const std::string& utf8Sql);

 private:
  static std::vector<std::string> SplitAtIdentityQuery(const std::string& sql);
  static std::string AdaptStatement(const std::string& sql);
  static std::string ReplaceIdentity(const std::string& sql);
  static std::string AddDeleteFrom(const std::string& sql);
  static std::string TopToLimit(const std::string& sql);
};
