#include "TSampleType.h"

#include "Exceptions.h"
#include "Format.h"
#include "MessagePrefix.h"
#include "SampleRows.h"
#include "SingletonAccess.h"
#include "TDataSet.h"
#include "TSingleComm.h"

namespace {
TSampleType* g_instance = nullptr;
}  // namespace

TSampleType* TSampleType::AccessInstance(int request) {
  return AccessSingleton(g_instance, request, &CreateSingleton);
}

TSampleType* TSampleType::CreateSingleton() {
  auto sampleType = std::make_unique<TSampleType>(TSingleComm::Instance().GetConnPool());
  sampleType->sampleTypes_ = std::make_unique<TDBObjectList>(true);
  sampleType->LoadList("1=1", *sampleType->sampleTypes_, -1);
  return sampleType.release();
}

TSampleType::TSampleType() : TDBObject() {
  InitObject();
}

TSampleType::TSampleType(TBaseDBConnPool* pool) : TDBObject(pool) {
  InitObject();
}

TSampleType::~TSampleType() {
  if (g_instance == this) AccessInstance(2);
}

void TSampleType::InitObject() {
  TDBObject::InitObject();
  SetTableName("TJSampleType");
  SetFieldList("*");
  SetWhere("1=1");
  SetOrderBy("ID");
}

int32_t TSampleType::Delete() {
  Operator()->ExecSQL(FormatSql("Delete %s Where ID = %d", {GetTableName(), id_}));
  return 0;
}

int32_t TSampleType::Find() {
  const std::string sql =
      FormatSql("Select * from %s Where SampleTypeName = '%s'", {GetTableName(), SampleTypeName});
  return WithMessagePrefix("查找信息出现错误", [&] {
    SetDataSet(Operator()->OpenQuery(sql));
    return LoadFromDataSet(GetDataSet());
  });
}

int32_t TSampleType::Insert() {
  Operator()->ExecSQL(FormatSql("Insert Into %s (SampleTypeID, SampleTypeName) Values(%d, '%s')",
                                {GetTableName(), SampleTypeID, SampleTypeName}));
  return 0;
}

int32_t TSampleType::Update() {
  Operator()->ExecSQL(
      FormatSql("Update %s set ID=%d,SampleTypeID=%d,SampleTypeName='%s'  Where ID=%d",
                {GetTableName(), id_, SampleTypeID, SampleTypeName, id_}));
  return 0;
}

int32_t TSampleType::LoadFromDataSet(TDataSet* set) {
  if (!set || set->IsEmpty() || set->Eof()) return -1;
  id_ = set->FieldByName("ID").AsInteger();
  SampleTypeID = set->FieldByName("SampleTypeID").AsInteger();
  SampleTypeName = set->FieldByName("SampleTypeName").AsString();
  return 0;
}

int32_t TSampleType::LoadList(const std::string& where, TDBObjectList& list, int32_t maxCount) {
  LoadSampleRows(*Operator(), *this, where, list, maxCount);
  return 0;
}
