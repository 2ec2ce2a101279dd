#include "CatalogueHistory.h"

#include <map>
#include <mutex>
#include <vector>

#include "CatalogueVersion.h"
#include "Format.h"
#include "IDBOperator.h"
#include "TCatalogueObject.h"
#include "TCurrentUser.h"
#include "TDBOperator.h"
#include "TDataSet.h"
#include "TInsertRows.h"
#include "TTransaction.h"
#include "UserRights.h"

namespace CatalogueHistory {

namespace {

struct TDatabaseState {
  bool available = false;
  std::string now;
  // Whether the stamp's raise can give the change's number and time; asked
  // at the first raise, when the stamp's table is known.
  std::optional<bool> raiseReturns;
};

std::mutex g_mutex;
std::map<std::string, TDatabaseState>& Known() {
  static std::map<std::string, TDatabaseState> known;
  return known;
}

std::string KeyOf(IDBOperator* op) {
  return op->GetDBName() + '\n' + op->GetSchema();
}

// Runs `statement` under a guard of its own, so a refusal (a function the
// database does not know, a missing table) leaves a surrounding
// transaction usable on every database. False when it was refused.
template <class Statement>
bool Tried(IDBOperator* op, Statement&& statement) {
  TTransaction guard(op);
  try {
    statement();
    guard.Commit();
    return true;
  } catch (const std::exception&) {
    guard.Rollback();
    return false;
  }
}

// The time text of SQLite (the embedded file: the local time of the
// desk), PostgreSQL and SQL Server, with the name each one's driver gives.
struct TTimeExpression {
  const char* dbms;
  const char* expression;
};
constexpr TTimeExpression kTimeExpressions[] = {
    {"SQLite", "datetime('now','localtime')"},
    {"PostgreSQL", "to_char(LOCALTIMESTAMP, 'YYYY-MM-DD HH24:MI:SS')"},
    {"Microsoft SQL Server", "CONVERT(VARCHAR(19), GETDATE(), 120)"},
};

// The database's own expression is tried first: one another system refuses
// would leave an error in a server's log at every start of a program.
std::string TimeExpressionOf(IDBOperator* op) {
  const std::string dbms = TDBOperator::DbmsNameOf(op);
  std::vector<const char*> order;
  for (const TTimeExpression& time : kTimeExpressions)
    if (dbms == time.dbms) order.push_back(time.expression);
  for (const TTimeExpression& time : kTimeExpressions)
    if (dbms != time.dbms) order.push_back(time.expression);
  for (const char* expression : order) {
    if (Tried(op, [&] { op->OpenQuery(std::string("SELECT ") + expression + " AS T"); }))
      return expression;
  }
  return {};
}

// The same table on every database: SQL Server's wide text first, the
// plain text type of SQLite and PostgreSQL second.
std::string CreateTableSql(const char* text, const char* longText) {
  return FormatText(
      "CREATE TABLE TJCatalogueHistory (ChangeID BIGINT NOT NULL, Seq INT NOT NULL, "
      "ChangedAt VARCHAR(19) NOT NULL, OperatorName %s, UserName %s, Source %s, "
      "TableName VARCHAR(30) NOT NULL, EntryKind %s, EntryCode %s, EntryName %s, "
      "Action %s, FieldName VARCHAR(30), OldValue %s, NewValue %s, "
      "PRIMARY KEY (ChangeID, Seq))",
      {text, text, text, text, text, text, text, longText, longText});
}

bool MakeSureOfTable(IDBOperator* op) {
  if (Tried(op, [&] { op->OpenQuery("SELECT ChangeID FROM TJCatalogueHistory WHERE 1=0"); }))
    return true;
  const bool made =
      Tried(op, [&] { op->ExecSQL(CreateTableSql("NVARCHAR(200)", "NVARCHAR(MAX)")); }) ||
      Tried(op, [&] { op->ExecSQL(CreateTableSql("VARCHAR(200)", "TEXT")); });
  if (!made) return false;
  Tried(op, [&] {
    op->ExecSQL(
        "CREATE INDEX IX_TJCatalogueHistory_Entry ON TJCatalogueHistory "
        "(TableName, EntryCode)");
  });
  Tried(op, [&] {
    op->ExecSQL("CREATE INDEX IX_TJCatalogueHistory_Time ON TJCatalogueHistory (ChangedAt)");
  });
  return true;
}

TDatabaseState StateOf(IDBOperator* op) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const auto found = Known().find(KeyOf(op));
  return found == Known().end() ? TDatabaseState{} : found->second;
}

const char* ActionWord(TWriteAction action) {
  switch (action) {
    case TWriteAction::Insert:
      return kInsert;
    case TWriteAction::Update:
      return kUpdate;
    default:
      return kDelete;
  }
}

std::string ValueIn(const TColumnValues& values, const std::string& column) {
  for (const auto& [name, value] : values)
    if (name == column) return value;
  return {};
}

struct TFieldChange {
  std::string field;
  std::string before;
  std::string after;
};

// Inserts name every column that holds something, deletes every column the
// row held (so that a deleted entry can be made again from its history),
// updates the columns whose text changed.
std::vector<TFieldChange> ChangesOf(const TCatalogueObject& entry, TWriteAction action) {
  std::vector<TFieldChange> changes;
  if (action == TWriteAction::Insert) {
    for (const auto& [name, value] : entry.ColumnValues())
      if (!value.empty()) changes.push_back({name, {}, value});
  } else if (action == TWriteAction::Delete) {
    const TColumnValues before = entry.Loaded().empty() ? entry.ColumnValues() : entry.Loaded();
    for (const auto& [name, value] : before)
      if (!value.empty()) changes.push_back({name, value, {}});
  } else {
    for (const auto& [name, value] : entry.ColumnValues()) {
      const std::string before = ValueIn(entry.Loaded(), name);
      if (before != value) changes.push_back({name, before, value});
    }
  }
  return changes;
}

// The change's number and time, read once per write. The number is the
// stamp this write raised: one per write, taken under the stamp's lock, so no
// other write has it. Reading both first lets the rows go in as one plain
// multi-row insert, which a database parses far faster than one select per
// field.
TChangeHeader HeaderFrom(TDataSet* rows) {
  TChangeHeader header;
  if (rows->IsEmpty()) return header;
  header.changeId = static_cast<int64_t>(rows->Fields(0).AsFloat());
  header.changedAt = rows->Fields(1).AsString();
  return header;
}

TChangeHeader HeaderOf(IDBOperator* op, const TDatabaseState& state) {
  const bool stamped = CatalogueVersion::Available(op);
  return HeaderFrom(
      op->OpenQuery(stamped ? "SELECT Version, " + state.now + " AS T FROM TJCatalogueVersion"
                            : "SELECT 0, " + state.now + " AS T"));
}

std::string RaiseSql(const TDatabaseState& state) {
  return "UPDATE TJCatalogueVersion SET Version = Version + 1 RETURNING Version, " + state.now +
         " AS T";
}

// SQLite (3.35 and later) and PostgreSQL return rows from an UPDATE.
bool MayReturnRows(IDBOperator* op) {
  const std::string dbms = TDBOperator::DbmsNameOf(op);
  return dbms == "SQLite" || dbms == "PostgreSQL";
}

}  // namespace

void Prepare(IDBOperator* op) {
  const std::string key = KeyOf(op);
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (Known().count(key)) return;
  }
  TDatabaseState state;
  state.now = TimeExpressionOf(op);
  state.available = !state.now.empty() && MakeSureOfTable(op);
  std::lock_guard<std::mutex> lock(g_mutex);
  Known()[key] = state;
}

bool Available(IDBOperator* op) {
  return StateOf(op).available;
}

std::string ServerTimeSql(IDBOperator* op) {
  return StateOf(op).now;
}

// The raise with its rows: the write's number and time, or nothing when
// the database (or its driver: the SQLite ODBC driver gives an UPDATE no
// rows) did not answer with them. Raised either way.
std::optional<TChangeHeader> RaiseReturning(IDBOperator* op, const TDatabaseState& state) {
  TDataSet* rows = op->OpenQuery(RaiseSql(state));
  if (rows->IsEmpty()) return std::nullopt;
  return HeaderFrom(rows);
}

std::optional<TChangeHeader> RaiseStamp(IDBOperator* op) {
  const TDatabaseState state = StateOf(op);
  const bool stamped = state.available && CatalogueVersion::Available(op);
  if (stamped && state.raiseReturns.value_or(false)) return RaiseReturning(op, state);
  if (stamped && !state.raiseReturns) {
    // The first raise of a process, under a guard, tells whether the
    // database answers it with rows; refused, it is made the plain way.
    std::optional<TChangeHeader> header;
    const bool raised = MayReturnRows(op) && Tried(op, [&] { header = RaiseReturning(op, state); });
    {
      std::lock_guard<std::mutex> lock(g_mutex);
      Known()[KeyOf(op)].raiseReturns = header.has_value();
    }
    if (raised) return header;
  }
  CatalogueVersion::Raise(op);
  return std::nullopt;
}

void Record(IDBOperator* op, TCatalogueObject& entry, TWriteAction action,
            const TWriteContext& context, const TChangeHeader* header) {
  const TDatabaseState state = StateOf(op);
  if (!state.available) return;
  const std::vector<TFieldChange> changes = ChangesOf(entry, action);
  if (changes.empty()) return;
  const std::string operatorName =
      context.user ? GetOperator(*context.user).OperatorName : std::string();
  const std::string userName = context.user ? context.user->UserName.value_or("") : "";
  const TChangeHeader change = header ? *header : HeaderOf(op, state);
  // Every row of the change in one statement, as values: an import writes
  // tens of thousands of these.
  TInsertRows rows(
      "INSERT INTO TJCatalogueHistory (ChangeID, Seq, ChangedAt, OperatorName, UserName, "
      "Source, TableName, EntryKind, EntryCode, EntryName, Action, FieldName, OldValue, "
      "NewValue)",
      14);
  const std::string tableName = entry.GetTableName();
  const std::string kind = entry.EntryKind();
  const std::string code = entry.EntryCode();
  const std::string name = entry.EntryName();
  for (size_t i = 0; i < changes.size(); ++i)
    rows.Add(change.changeId)
        .Add(static_cast<int64_t>(i + 1))
        .Add(change.changedAt)
        .Add(operatorName)
        .Add(userName)
        .Add(context.source)
        .Add(tableName)
        .Add(kind)
        .Add(code)
        .Add(name)
        .Add(ActionWord(action))
        .Add(changes[i].field)
        .Add(changes[i].before)
        .Add(changes[i].after);
  TDBOperator::InsertRows(op, rows);
}

}  // namespace CatalogueHistory
