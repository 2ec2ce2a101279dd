#include "TWriteRules.h"

TWriteRules& TWriteRules::Check(Rule rule) {
  checks_.push_back(std::move(rule));
  return *this;
}

TWriteRules& TWriteRules::Record(Rule rule) {
  records_.push_back(std::move(rule));
  return *this;
}

TWriteRules& TWriteRules::Append(const TWriteRules& other) {
  checks_.insert(checks_.end(), other.checks_.begin(), other.checks_.end());
  records_.insert(records_.end(), other.records_.begin(), other.records_.end());
  return *this;
}

void TWriteRules::RunChecks(TDBObject& object, TWriteAction action,
                            const TWriteContext& context) const {
  for (const Rule& rule : checks_) rule(object, action, context);
}

void TWriteRules::RunRecords(TDBObject& object, TWriteAction action,
                             const TWriteContext& context) const {
  for (const Rule& rule : records_) rule(object, action, context);
}
