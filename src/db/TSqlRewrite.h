#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

/// The rewrite steps that adapt the T-SQL forms the system emits to another
/// database's dialect (text in UTF-8); each dialect chains the ones it
/// needs. Literals, quoted names and comments are never changed.
class TSqlRewrite {
 public:
  /// Gives the new text of one ORDER BY term's expression (trimmed, without
  /// its ASC or DESC).
  using TermRewrite = std::function<std::string(const std::string& expression)>;

  /// A statement followed directly by `SELECT @@IDENTITY ...` (T-SQL needs
  /// no separator) as two statements, the separating `;` dropped; any other
  /// text as it is.
  static std::vector<std::string> SplitAtIdentityQuery(const std::string& sql);
  /// Every `@@IDENTITY` replaced by `replacement`.
  static std::string ReplaceIdentity(const std::string& sql, std::string_view replacement);
  /// `DELETE table WHERE ...` gets its FROM.
  static std::string AddDeleteFrom(const std::string& sql);
  /// T-SQL's savepoints in the standard form: `SAVE TRAN[SACTION] name`
  /// becomes `SAVEPOINT name`, `ROLLBACK TRAN[SACTION] name` (with a name)
  /// becomes `ROLLBACK TO SAVEPOINT name`; any other text as it is.
  static std::string Savepoints(const std::string& sql);
  /// True for `RELEASE SAVEPOINT name` (any case, blanks around).
  static bool IsSavepointRelease(const std::string& sql);
  /// `SELECT TOP n ...` becomes `SELECT ... LIMIT n`.
  static std::string TopToLimit(const std::string& sql);
  /// Every term of the statement's own ORDER BY (not of a subquery) that
  /// names no collation of its own gets `rewrite` applied to its expression.
  static std::string OrderByTerms(const std::string& sql, const TermRewrite& rewrite);

 private:
  static std::string RewriteTerm(const std::string& term, const TermRewrite& rewrite);
};
