#include "TSqliteDialect.h"

#include "TSqlRewrite.h"

std::vector<std::string> TSqliteDialect::Adapt(const std::string& utf8Sql, bool gbkOrder) {
  std::vector<std::string> out;
  for (const std::string& part : TSqlRewrite::SplitAtIdentityQuery(utf8Sql)) {
    // SQL Server answers Null before any insert; SQLite would answer 0.
    std::string statement =
        TSqlRewrite::TopToLimit(TSqlRewrite::AddDeleteFrom(TSqlRewrite::Savepoints(
            TSqlRewrite::ReplaceIdentity(part, "NULLIF(last_insert_rowid(), 0)"))));
    out.push_back(gbkOrder ? OrderByGbk(statement) : statement);
  }
  return out;
}

std::string TSqliteDialect::OrderByGbk(const std::string& sql) {
  return TSqlRewrite::OrderByTerms(
      sql, [](const std::string& expression) { return expression + " COLLATE " + GbkCollation; });
}
