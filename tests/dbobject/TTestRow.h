#pragma once

#include <string>

#include "TDBObject.h"
#include "TDataSet.h"

/// A small table-mapped class over the test table TestRow (RowID, Code,
/// Name), used to drive the generic behaviour of TDBObject.
class TTestRow : public TDBObject {
 public:
  static inline int Destroyed = 0;
  static constexpr const char* kCreateTable =
      "CREATE TABLE TestRow (RowID INTEGER, Code VARCHAR(20), Name VARCHAR(50))";

  TTestRow() { InitObject(); }
  explicit TTestRow(TBaseDBConnPool* pool) : TDBObject(pool) { InitObject(); }
  ~TTestRow() override { ++Destroyed; }
  TESMIRA_DBOBJECT_FACTORIES(TTestRow)

  void InitObject() override {
    TDBObject::InitObject();
    SetTableName("TestRow");
    SetFieldList("*");
    SetWhere("1=1");
    SetOrderBy("RowID");
  }
  int32_t LoadFromDataSet(TDataSet* set) override {
    if (!set || set->IsEmpty() || set->Eof()) return -1;
    RowID = set->FieldByName("RowID").AsInteger();
    Code = set->FieldByName("Code").AsString();
    Name = set->FieldByName("Name").AsString();
    return 0;
  }

  void SetLastErrorForTest(const std::string& message) { SetLastError(message); }

  int32_t RowID = 0;
  std::string Code;
  std::string Name;
};
