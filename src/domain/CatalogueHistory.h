#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "TWriteRules.h"

class IDBOperator;
class TCatalogueObject;

/// The catalogue's change history: every insert, update and delete of a
/// catalogue entry leaves rows in TJCatalogueHistory, in the write's own
/// transaction and with one statement (all rows of the write in one
/// INSERT). One row per column that changed: the change's number (the
/// catalogue's change stamp after the write raised it, the same for every
/// row of one write), its place in the change, the database's time, the
/// operator and user, the window or command, the table and kind, the
/// entry's code and name, the action, the column and its old and new value
/// as text (members and exclusions as the code texts the row keeps).
namespace CatalogueHistory {

inline constexpr const char* kTable = "TJCatalogueHistory";
/// The action words the rows carry.
inline constexpr const char* kInsert = "新增";
inline constexpr const char* kUpdate = "修改";
inline constexpr const char* kDelete = "删除";

/// Before a write's transaction (or inside one, under a savepoint): makes
/// sure the table exists (a database made before it gets it) and learns
/// how the database tells its time. Asked once per database and process;
/// a database where the table cannot be made is written without history.
void Prepare(IDBOperator* op);
/// Whether the database has the table (after Prepare).
bool Available(IDBOperator* op);
/// The database's time now, as the rows store it ("yyyy-mm-dd hh:mm:ss").
std::string ServerTimeSql(IDBOperator* op);

/// A write's number (the catalogue's change stamp after the write raised
/// it) and the database's time, as its rows store them.
struct TChangeHeader {
  int64_t changeId = 0;
  std::string changedAt;
};

/// Raises the catalogue's change stamp at the start of a write
/// (CatalogueVersion::Raise). Where the database answers an UPDATE with
/// RETURNING (SQLite, PostgreSQL), the same statement gives the write's
/// number and time: one statement less per write. Otherwise nothing is
/// returned and Record reads them.
std::optional<TChangeHeader> RaiseStamp(IDBOperator* op);

/// The record rule: the rows of one write, one INSERT (none when an update
/// changed nothing). Runs inside the write's transaction, after the row
/// itself was written; `header` is what RaiseStamp gave for this write
/// (null: read here).
void Record(IDBOperator* op, TCatalogueObject& entry, TWriteAction action,
            const TWriteContext& context, const TChangeHeader* header);

}  // namespace CatalogueHistory
