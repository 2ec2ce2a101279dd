#include "TCatalogueHistory.h"

#include <algorithm>
#include <memory>

#include "CatalogueHistory.h"
#include "Exceptions.h"
#include "Format.h"
#include "GbkText.h"
#include "IDBOperator.h"
#include "TCategory.h"
#include "TCheckSet.h"
#include "TCombItem.h"
#include "TDataSet.h"
#include "TItem.h"
#include "TItemManager.h"
#include "TSampleGroup.h"
#include "TSingleComm.h"

TCatalogueHistory::TCatalogueHistory() : TDBObject() {
  InitObject();
}

TCatalogueHistory::TCatalogueHistory(TBaseDBConnPool* pool) : TDBObject(pool) {
  InitObject();
}

void TCatalogueHistory::InitObject() {
  TDBObject::InitObject();
  SetTableName(CatalogueHistory::kTable);
  SetFieldList("*");
  SetWhere("1=1");
  SetOrderBy("ChangeID DESC, Seq");
}

namespace {

// The LIKE pattern "contains `text`": %, _ and [ (a pattern on SQL Server)
// and the escape character itself match only themselves. The text is GBK:
// the second byte of a double-byte character is never a character of its
// own, so it is copied with its lead byte, never escaped.
std::string ContainsPattern(const std::string& text) {
  std::string pattern = "%";
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x81 && i + 1 < text.size()) {
      pattern += text.substr(i++, 2);
      continue;
    }
    if (text[i] == '%' || text[i] == '_' || text[i] == '[' || text[i] == '!') pattern += '!';
    pattern += text[i];
  }
  return pattern + "%";
}

std::string WhereOf(const THistoryFilter& filter) {
  std::string where = "1=1";
  auto add = [&](const char* condition, const std::string& value) {
    if (!value.empty()) where += FormatSql(condition, {value});
  };
  add(" AND ChangedAt >= '%s'", filter.Since);
  add(" AND ChangedAt <= '%s 23:59:59'", filter.Until);
  add(" AND OperatorName = '%s'", filter.OperatorName);
  add(" AND EntryKind = '%s'", filter.EntryKind);
  add(" AND TableName = '%s'", filter.TableName);
  add(" AND EntryCode = '%s'", filter.EntryCode);
  if (!filter.CodeOrName.empty()) {
    const std::string pattern = ContainsPattern(filter.CodeOrName);
    where += FormatSql(" AND (EntryCode LIKE '%s' ESCAPE '!' OR EntryName LIKE '%s' ESCAPE '!')",
                       {pattern, pattern});
  }
  if (filter.ChangeID) where += " AND ChangeID = " + std::to_string(*filter.ChangeID);
  return where;
}

THistoryRow RowOf(TDataSet* rows) {
  auto text = [rows](const char* name) { return rows->FieldByName(name).AsString(); };
  THistoryRow row;
  row.ChangeID = static_cast<int64_t>(rows->FieldByName("ChangeID").AsFloat());
  row.Seq = rows->FieldByName("Seq").AsInteger();
  row.ChangedAt = text("ChangedAt");
  row.OperatorName = text("OperatorName");
  row.UserName = text("UserName");
  row.Source = text("Source");
  row.TableName = text("TableName");
  row.EntryKind = text("EntryKind");
  row.EntryCode = text("EntryCode");
  row.EntryName = text("EntryName");
  row.Action = text("Action");
  row.FieldName = text("FieldName");
  row.OldValue = text("OldValue");
  row.NewValue = text("NewValue");
  return row;
}

}  // namespace

std::vector<THistoryRow> TCatalogueHistory::Rows(const THistoryFilter& filter) {
  CatalogueHistory::Prepare(Operator());
  std::vector<THistoryRow> result;
  if (!CatalogueHistory::Available(Operator())) return result;
  TDataSet* rows = Operator()->OpenQuery(FormatSql(
      "SELECT * FROM %s WHERE %s ORDER BY %s", {GetTableName(), WhereOf(filter), GetOrderBy()}));
  for (rows->First(); !rows->Eof(); rows->Next()) result.push_back(RowOf(rows));
  return result;
}

std::vector<THistoryRow> TCatalogueHistory::RowsOf(const std::string& tableName,
                                                   const std::string& code) {
  THistoryFilter filter;
  filter.TableName = tableName;
  filter.EntryCode = code;
  return Rows(filter);
}

std::vector<std::string> TCatalogueHistory::Operators() {
  CatalogueHistory::Prepare(Operator());
  std::vector<std::string> names;
  if (!CatalogueHistory::Available(Operator())) return names;
  TDataSet* rows = Operator()->OpenQuery(
      FormatSql("SELECT OperatorName FROM %s WHERE OperatorName <> '' GROUP BY OperatorName",
                {GetTableName()}));
  for (rows->First(); !rows->Eof(); rows->Next())
    names.push_back(rows->FieldByName("OperatorName").AsString());
  // Sorted here, not by the database: the GBK bytes give the same order on
  // every backend (pinyin order for the common characters).
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<TLastChange> TCatalogueHistory::LastChange(const std::string& tableName,
                                                         const std::string& code) {
  CatalogueHistory::Prepare(Operator());
  if (!CatalogueHistory::Available(Operator())) return std::nullopt;
  TDataSet* rows = Operator()->OpenQuery(
      FormatSql("SELECT TOP 1 ChangeID, ChangedAt, OperatorName, UserName, Source, Action FROM %s "
                "WHERE TableName = '%s' AND EntryCode = '%s' ORDER BY ChangeID DESC",
                {GetTableName(), tableName, code}));
  if (rows->IsEmpty()) return std::nullopt;
  TLastChange last;
  last.ChangeID = static_cast<int64_t>(rows->FieldByName("ChangeID").AsFloat());
  last.ChangedAt = rows->FieldByName("ChangedAt").AsString();
  last.OperatorName = rows->FieldByName("OperatorName").AsString();
  last.UserName = rows->FieldByName("UserName").AsString();
  last.Source = rows->FieldByName("Source").AsString();
  last.Action = rows->FieldByName("Action").AsString();
  return last;
}

namespace {

std::string CsvField(const std::string& value) {
  if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
  std::string quoted = "\"";
  for (char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

}  // namespace

void TCatalogueHistory::WriteCsv(std::ostream& out, const THistoryFilter& filter, bool utf8) {
  auto line = [&](const std::vector<std::string>& fields) {
    std::string text;
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i) text += ',';
      text += CsvField(fields[i]);
    }
    out << (utf8 ? GbkText::ToUtf8(text) : text) << "\r\n";
  };
  line({"修改号", "时间", "操作员", "用户", "来源", "表", "种类", "编码", "名称", "动作", "字段",
        "原值", "新值"});
  for (const THistoryRow& row : Rows(filter))
    line({std::to_string(row.ChangeID), row.ChangedAt, row.OperatorName, row.UserName, row.Source,
          row.TableName, row.EntryKind, row.EntryCode, row.EntryName, row.Action, row.FieldName,
          row.OldValue, row.NewValue});
}

namespace {

std::string ValueOf(const std::vector<THistoryRow>& rows, const std::string& field) {
  for (const THistoryRow& row : rows)
    if (row.FieldName == field) return row.OldValue;
  return {};
}

// A new, empty object of the entry's class (on the shared pool).
std::unique_ptr<TCatalogueObject> NewEntryOf(const std::vector<THistoryRow>& rows) {
  TBaseDBConnPool* pool = TSingleComm::Instance().GetConnPool();
  const std::string& table = rows.front().TableName;
  if (table == "TJCategories") return std::make_unique<TCategory>(pool);
  if (table == "TJSampleGroup") return std::make_unique<TSampleGroup>(pool);
  const std::string type = ValueOf(rows, "ItemType");
  if (type == "1") return std::make_unique<TCombItem>(pool);
  if (type == "2") return std::make_unique<TCheckSet>(pool);
  return std::make_unique<TItem>(pool);
}

// The stored entry the rows name, read afresh; null when it is gone.
std::unique_ptr<TCatalogueObject> StoredEntryOf(const std::vector<THistoryRow>& rows) {
  std::unique_ptr<TCatalogueObject> entry = NewEntryOf(rows);
  const std::string& code = rows.front().EntryCode;
  if (auto* item = dynamic_cast<TBaseItem*>(entry.get())) {
    item->ItemCode = code;
  } else if (auto* category = dynamic_cast<TCategory*>(entry.get())) {
    category->CateCode = code;
  } else {
    entry->SetWhere(FormatSql("GroupID = %d", {std::atoi(code.c_str())}));
  }
  return entry->Find() == 0 ? std::move(entry) : nullptr;
}

// The catalogue's own object for an item, so that windows see the undo.
TCatalogueObject* InCatalogue(TCatalogueObject* entry) {
  auto* item = dynamic_cast<TBaseItem*>(entry);
  TItemManager* catalogue = TItemManager::AccessInstance(0);
  if (!item || !catalogue) return entry;
  TBaseItem* listed = catalogue->FindItem(item->ItemCode);
  return listed ? listed : entry;
}

std::string ValueIn(const TColumnValues& values, const std::string& column) {
  for (const auto& [name, value] : values)
    if (name == column) return value;
  return {};
}

void RestoreUpdate(const std::vector<THistoryRow>& rows, TCatalogueObject& entry,
                   const TWriteContext& context) {
  const TColumnValues now = entry.ColumnValues();
  for (const THistoryRow& row : rows)
    if (ValueIn(now, row.FieldName) != row.NewValue)
      throw EWriteRefused("“%s”的“%s”在这次修改之后又改过，不能撤销这次修改！",
                          {row.EntryName, row.FieldName});
  try {
    for (const THistoryRow& row : rows) entry.SetColumnValue(row.FieldName, row.OldValue);
    entry.Save(context);
    if (auto* item = dynamic_cast<TBaseItem*>(&entry)) item->ReloadItemsIfChanged();
  } catch (...) {
    // Refused or failed: the entry keeps what is stored.
    for (const auto& [name, value] : now) entry.SetColumnValue(name, value);
    throw;
  }
}

void Recreate(const std::vector<THistoryRow>& rows, const TWriteContext& context) {
  std::unique_ptr<TCatalogueObject> entry = NewEntryOf(rows);
  for (const THistoryRow& row : rows) entry->SetColumnValue(row.FieldName, row.OldValue);
  if (auto* group = dynamic_cast<TSampleGroup*>(entry.get()))
    group->GroupID = 0;  // the database numbers tubes itself
  else
    entry->KeepKeysOnInsert();
  entry->Save(context);
  auto* item = dynamic_cast<TBaseItem*>(entry.get());
  TItemManager* catalogue = TItemManager::AccessInstance(0);
  if (!item || !catalogue) return;
  catalogue->AddItem(item);
  entry.release();  // the catalogue owns it now
  item->LoadItems();
}

void RemoveInserted(std::unique_ptr<TCatalogueObject> stored, const TWriteContext& context) {
  TCatalogueObject* entry = InCatalogue(stored.get());
  entry->Remove(context);
  if (entry == stored.get()) return;
  // Windows may still point at the catalogue's entry until they follow.
  TItemManager::Instance().RetireItem(static_cast<TBaseItem*>(entry));
}

}  // namespace

void TCatalogueHistory::Undo(int64_t changeID, const TWriteContext& context) {
  THistoryFilter filter;
  filter.ChangeID = changeID;
  const std::vector<THistoryRow> rows = Rows(filter);
  if (rows.empty() || changeID == 0) throw EWriteRefused("没有找到要撤销的修改记录！");
  TWriteContext undo = context;
  undo.source = FormatText("%s 撤销%s", {context.source, std::to_string(changeID)});
  const std::string& action = rows.front().Action;
  std::unique_ptr<TCatalogueObject> stored = StoredEntryOf(rows);
  if (action == CatalogueHistory::kDelete) {
    if (stored) throw EWriteRefused("“%s”已经存在，不需要恢复！", {rows.front().EntryName});
    Recreate(rows, undo);
    return;
  }
  if (!stored) throw EWriteRefused("“%s”已被删除，不能撤销这次修改！", {rows.front().EntryName});
  if (action == CatalogueHistory::kInsert)
    RemoveInserted(std::move(stored), undo);
  else
    RestoreUpdate(rows, *InCatalogue(stored.get()), undo);
}
