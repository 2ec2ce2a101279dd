#include "CatalogueVersion.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "IDBOperator.h"
#include "TDataSet.h"

namespace CatalogueVersion {

namespace {

// Per database (name and schema of the connection): whether the table is
// there. Filled on first use; a process meets few databases.
std::mutex g_mutex;
std::map<std::string, bool>& Known() {
  static std::map<std::string, bool> known;
  return known;
}

// Raises this process committed; a reader compares them with the stamp's
// moves.
std::atomic<uint64_t> g_ownRaises{0};

std::string KeyOf(IDBOperator* op) {
  return op->GetDBName() + '\n' + op->GetSchema();
}

// The table is read; when that fails it is made. A database that refuses
// both (no right to create tables) is written without the stamp.
bool MakeSureOfTable(IDBOperator* op) {
  try {
    if (!op->OpenQuery("SELECT Version FROM TJCatalogueVersion")->IsEmpty()) return true;
    op->ExecSQL("INSERT INTO TJCatalogueVersion (Version) VALUES (1)");
    return true;
  } catch (const std::exception&) {
  }
  try {
    op->ExecSQL("CREATE TABLE TJCatalogueVersion (Version BIGINT NOT NULL)");
    op->ExecSQL("INSERT INTO TJCatalogueVersion (Version) VALUES (1)");
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

void Prepare(IDBOperator* op) {
  const std::string key = KeyOf(op);
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (Known().count(key)) return;
  }
  // A failed statement inside a transaction would doom it on some
  // databases: the check waits for a write that starts one of its own.
  if (op->GetInTransaction()) return;
  const bool available = MakeSureOfTable(op);
  std::lock_guard<std::mutex> lock(g_mutex);
  Known()[key] = available;
}

bool Available(IDBOperator* op) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const auto found = Known().find(KeyOf(op));
  return found != Known().end() && found->second;
}

void Raise(IDBOperator* op) {
  if (!Available(op)) return;
  op->ExecSQL("UPDATE TJCatalogueVersion SET Version = Version + 1");
}

void NoteCommitted(IDBOperator* op) {
  if (Available(op)) ++g_ownRaises;
}

int64_t Read(IDBOperator* op) {
  Prepare(op);
  if (!Available(op)) return 0;
  TDataSet* rows = op->OpenQuery("SELECT Version FROM TJCatalogueVersion");
  return rows->IsEmpty() ? 0 : static_cast<int64_t>(rows->Fields(0).AsFloat());
}

void Remember(IDBOperator* op, TSeen& seen) {
  seen.ownRaises = g_ownRaises;
  seen.version = Read(op);
}

bool MovedElsewhere(IDBOperator* op, TSeen& seen) {
  const TSeen before = seen;
  Remember(op, seen);
  if (before.version < 0) return false;
  const auto own = static_cast<int64_t>(seen.ownRaises - before.ownRaises);
  return seen.version != before.version + own;
}

}  // namespace CatalogueVersion
