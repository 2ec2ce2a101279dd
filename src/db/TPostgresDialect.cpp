#include "TPostgresDialect.h"

#include "TSqlRewrite.h"

namespace {

bool IsColumnNumber(const std::string& expression) {
  return !expression.empty() && expression.find_first_not_of("0123456789") == std::string::npos;
}

std::string GbkOrderKey(const std::string& expression) {
  if (IsColumnNumber(expression)) return expression;
  std::string key = "tesmira_gbk(";
  key += expression;
  key += ')';
  return key;
}

}  // namespace

std::string TPostgresDialect::Adapt(const std::string& utf8Sql) {
  std::string batch;
  for (const std::string& part : TSqlRewrite::SplitAtIdentityQuery(utf8Sql)) {
    if (!batch.empty()) batch += ";\n";
    batch += TSqlRewrite::OrderByTerms(
        TSqlRewrite::TopToLimit(TSqlRewrite::AddDeleteFrom(
            TSqlRewrite::Savepoints(TSqlRewrite::ReplaceIdentity(part, "tesmira_identity()")))),
        GbkOrderKey);
  }
  return batch;
}
