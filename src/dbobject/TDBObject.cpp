#include "TDBObject.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include "Format.h"
#include "MessagePrefix.h"
#include "TDBObjectList.h"
#include "TDataSet.h"
#include "TTransaction.h"
#include "WriteFailure.h"

TDBObject::TDBObject() : TBaseDBObject() {}

TDBObject::TDBObject(TBaseDBConnPool* pool) : TBaseDBObject(pool) {}

int32_t TDBObject::Delete() {
  Operator()->ExecSQL(FormatSql("Delete %s Where %s", {GetTableName(), GetWhere()}));
  return -1;
}

int32_t TDBObject::Find() {
  const std::string sql =
      FormatSql("Select %s From %s Where %s", {GetFieldList(), GetTableName(), GetWhere()});
  return WithMessagePrefix("查找错误!\r\n", [&] {
    SetDataSet(Operator()->OpenQuery(sql));
    return LoadFromDataSet(GetDataSet());
  });
}

int32_t TDBObject::LoadList(const std::string& where, TDBObjectList& list, int32_t maxCount) {
  const std::string sql =
      GetOrderBy().empty()
          ? FormatSql("Select %s from %s Where %s", {GetFieldList(), GetTableName(), where})
          : FormatSql("Select %s from %s Where %s Order By %s",
                      {GetFieldList(), GetTableName(), where, GetOrderBy()});
  TDataSet* rows = Operator()->OpenQuery(sql);
  int32_t taken = 0;
  while (!rows->Eof()) {
    ++taken;
    if (maxCount != -1 && taken > maxCount) break;
    std::unique_ptr<TBaseDBObject> object(Create());
    object->LoadFromDataSet(rows);
    list.Add(object.release());
    rows->Next();
  }
  return 0;
}

namespace {

// The first column of the operator's single-row answer as an integer.
int32_t FirstValue(TDataSet* rows) {
  if (rows->IsEmpty() || rows->Fields(0).IsNull()) return 1;
  return rows->Fields(0).AsInteger();
}

}  // namespace

std::string TDBObject::NextID(const std::string& pattern, const std::string& keyField) {
  TDataSet* rows = Operator()->OpenQuery(
      FormatSql("SELECT CASE WHEN MAX(%s) IS NULL THEN 1 ELSE MAX(%000:s) + 1 END FROM %s",
                {keyField, GetTableName()}));
  const std::string digits = std::to_string(FirstValue(rows));
  if (digits.size() >= pattern.size()) return digits;
  return pattern.substr(0, pattern.size() - digits.size()) + digits;
}

int32_t TDBObject::NextIntID(const std::string& keyField) {
  TDataSet* rows = Operator()->OpenQuery(FormatSql(
      "SELECT CASE WHEN MAX(%s) IS NULL THEN 1 ELSE MAX(Cast(%0:s As Int)) + 1 END FROM %s",
      {keyField, GetTableName()}));
  return FirstValue(rows);
}

// The maximum of an integer column is read from its index; the cast of
// NextIntID would read every row, once per insert.
int32_t TDBObject::NextIntegerKey(const std::string& keyField) {
  TDataSet* rows = Operator()->OpenQuery(
      FormatSql("SELECT COALESCE(MAX(%s), 0) + 1 FROM %s", {keyField, GetTableName()}));
  return FirstValue(rows);
}

bool TDBObject::RowExists(const std::string& where) {
  try {
    TDataSet* rows = Operator()->OpenQuery(
        FormatSql("Select count(*) as c from %s where %s", {GetTableName(), where}));
    return !rows->IsEmpty() && rows->FieldByName("c").AsInteger() > 0;
  } catch (const std::exception&) {
    return false;
  }
}

namespace {

// Two writers that collided would draw alike again at once and collide
// again, step for step: a random pause, longer with each try (up to a tenth
// of a second), lets one of them get ahead.
void PauseBeforeDrawing(int tries) {
  std::random_device random;
  std::uniform_int_distribution<int> milliseconds(1, std::min(8 * tries, 100));
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds(random)));
}

}  // namespace

// The refusal itself is the database's (a unique key or index), so it is
// told apart from any other failure by looking for the drawn values: when
// they are stored now, another writer drew them first.
void TDBObject::InsertDrawingKeys(const std::function<void()>& attempt,
                                  const std::function<std::string()>& drawnTaken) {
  for (int tries = 1;; ++tries) {
    TTransaction guard(Operator());
    try {
      attempt();
      guard.Commit();
      return;
    } catch (const std::exception&) {
      guard.Rollback();  // the refused insert only, before the database is asked
      if (!RowExists(drawnTaken())) throw;
      if (tries < kInsertAttempts) {
        PauseBeforeDrawing(tries);
        continue;
      }
      WithMessagePrefix(
          FormatText("其他用户同时保存，编号冲突，重试%d次后仍未保存成功！\r\n", {kInsertAttempts}),
          [] { throw; });
    }
  }
}

const TWriteRules& TDBObject::WriteRules() const {
  static const TWriteRules none;
  return none;
}

namespace {

// Runs `write` (checks, the row, records) in one transaction and commits;
// `discarded` runs when anything failed, after the rollback.
template <class Write, class Discarded>
void InOneTransaction(IDBOperator* op, const std::string& action, Write&& write,
                      Discarded&& discarded) {
  try {
    WriteFailure::Worded(action, [&] {
      TTransaction transaction(op, TTransaction::kReleaseOnCommit);
      write();
      transaction.Commit();
    });
  } catch (...) {
    discarded();
    throw;
  }
}

}  // namespace

int32_t TDBObject::Save(const TWriteContext& context) {
  const TWriteAction action = IsNew() ? TWriteAction::Insert : TWriteAction::Update;
  const TWriteRules& rules = WriteRules();
  PrepareWrite();
  InOneTransaction(
      Operator(), "保存",
      [&] {
        WriteStarted();
        rules.RunChecks(*this, action, context);
        action == TWriteAction::Insert ? Insert() : Update();
        rules.RunRecords(*this, action, context);
      },
      [&] { Discarded(action); });
  Committed(action);
  return action == TWriteAction::Insert ? 2 : 3;
}

void TDBObject::Remove(const TWriteContext& context) {
  const TWriteRules& rules = WriteRules();
  PrepareWrite();
  InOneTransaction(
      Operator(), "删除",
      [&] {
        WriteStarted();
        rules.RunChecks(*this, TWriteAction::Delete, context);
        Delete();
        rules.RunRecords(*this, TWriteAction::Delete, context);
      },
      [&] { Discarded(TWriteAction::Delete); });
  Committed(TWriteAction::Delete);
}
