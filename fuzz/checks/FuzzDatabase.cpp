#include "FuzzDatabase.h"

#include "DomainObjects.h"
#include "TBaseDBConnPool.h"
#include "TSingleComm.h"
#include "TestDatabase.h"
#include "ThreadId.h"

FuzzDatabase& FuzzDatabase::Instance() {
  static FuzzDatabase database;
  return database;
}

FuzzDatabase::FuzzDatabase() : db_(std::make_unique<TestDatabase>()) {
  // Two entries share a code, as in a database made before codes were
  // unique: the catalogue must still resolve a code to its first entry.
  db_->Exec("DROP INDEX UX_TJItem_ItemCode");
  db_->Exec(
      "INSERT INTO TJItem (ItemID, ItemCode, ItemType, ItemName, ItemsString) VALUES "
      "(1, '000001', 0, 'a', ''), (2, '000002', 0, 'b', ''), (3, '000003', 0, 'c', ''), "
      "(4, '000003', 0, 'c2', ''), (5, '000005', 0, 'e', ''), "
      "(10, '000010', 1, 'k', '000001;000002;'), (11, '000011', 1, 'l', '000003;'), "
      "(20, '000020', 2, 's', '000010;000011;')");
  db_->UseAsLibraryPool();
  NewOperator()->ExecSQL("PRAGMA synchronous = OFF");
}

FuzzDatabase::~FuzzDatabase() {
  // The catalogue's entries hold operators on the pool that goes with db_.
  DomainObjects::ReleaseProcessObjects();
}

TComPtr<IDBOperator> FuzzDatabase::NewOperator() {
  TComPtr<IDBOperator> op = TSingleComm::Instance().GetConnPool()->CreateDBOperator();
  op->BindToThread(CurrentThreadId());
  return op;
}
