#include "TCatalogueObject.h"

#include <memory>

#include "CatalogueEvents.h"
#include "CatalogueHistory.h"
#include "CatalogueVersion.h"
#include "DomainObjects.h"
#include "Format.h"
#include "IDBOperator.h"
#include "TCatalogueHistory.h"
#include "TDataSet.h"

void TCatalogueObject::Assign(TBaseDBObject* source) {
  TDBObject::Assign(source);
  if (auto* entry = dynamic_cast<TCatalogueObject*>(source); entry && entry != this)
    loaded_ = entry->loaded_;
}

void TCatalogueObject::PrepareWrite() {
  CatalogueVersion::Prepare(Operator());
  CatalogueHistory::Prepare(Operator());
}

void TCatalogueObject::WriteStarted() {
  const auto change = CatalogueHistory::RaiseStamp(Operator());
  change_ = change ? std::make_unique<CatalogueHistory::TChangeHeader>(*change) : nullptr;
}

void TCatalogueObject::Committed(TWriteAction action) {
  keepKeys_ = false;
  keepCode_ = false;
  // The values a write read are its own: the next write reads them again,
  // and the catalogue's entries carry no copy between writes.
  loaded_.clear();
  CatalogueVersion::NoteCommitted(Operator());
  AfterCommit(action);
  CatalogueEvents::Publish();  // the other open windows follow
}

TWriteRules TCatalogueObject::RulesWithHistory() {
  TWriteRules rules;
  rules.Check([](TDBObject& object, TWriteAction action, const TWriteContext&) {
    if (action == TWriteAction::Update)
      static_cast<TCatalogueObject&>(object).ReadStoredIfUnknown();
  });
  rules.Record([](TDBObject& object, TWriteAction action, const TWriteContext& context) {
    auto& entry = static_cast<TCatalogueObject&>(object);
    CatalogueHistory::Record(entry.Operator(), entry, action, context, entry.change_.get());
    entry.change_.reset();
  });
  return rules;
}

void TCatalogueObject::ReadStoredIfUnknown() {
  if (!loaded_.empty()) return;
  std::unique_ptr<TBaseDBObject> stored(Create());
  auto* entry = dynamic_cast<TCatalogueObject*>(stored.get());
  TDataSet* rows = Operator()->OpenQuery(
      FormatSql("Select * from %s where %s", {GetTableName(), KeyCondition()}));
  if (entry && entry->LoadFromDataSet(rows) == 0) loaded_ = entry->ColumnValues();
}

const TWriteRules& TCatalogueObject::WriteRules() const {
  static const TWriteRules rules = RulesWithHistory();
  return rules;
}

std::string TCatalogueObject::WhoChangedLast(const std::string& code) {
  try {
    const auto last =
        TCatalogueHistory(DomainObjects::SharedPool()).LastChange(GetTableName(), code);
    if (last && !last->OperatorName.empty()) return last->OperatorName + "于" + last->ChangedAt;
  } catch (const std::exception&) {
    // Only the wording of a refusal depends on it.
  }
  return "其他用户";
}
