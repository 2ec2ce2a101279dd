#include "TSampleGroup.h"

#include <memory>

#include "Exceptions.h"
#include "Format.h"
#include "MessagePrefix.h"
#include "SampleRows.h"
#include "TDBObjectList.h"
#include "TDataSet.h"
#include "TSingleComm.h"

TSampleGroup::TSampleGroup() : TCatalogueObject() {
  InitObject();
}

TSampleGroup::TSampleGroup(TBaseDBConnPool* pool) : TCatalogueObject(pool) {
  InitObject();
}

void TSampleGroup::InitObject() {
  TCatalogueObject::InitObject();
  SetTableName("TJSampleGroup");
  SetFieldList("*");
  SetWhere("1=1");
  SetOrderBy("1 ASC");
}

int32_t TSampleGroup::Delete() {
  Operator()->ExecSQL(FormatSql("Delete %s Where GroupID = %d", {GetTableName(), GroupID}));
  return 0;
}

int32_t TSampleGroup::Find() {
  const std::string sql =
      FormatSql("Select Top 1 * from %s Where %s", {GetTableName(), GetWhere()});
  return WithMessagePrefix("查找信息出现错误", [&] {
    SetDataSet(Operator()->OpenQuery(sql));
    return LoadFromDataSet(GetDataSet());
  });
}

int32_t TSampleGroup::Insert() {
  const std::string sql = FormatSql("Insert Into %s (SampleTypeID, GroupName)Values(%d, '%s')",
                                    {GetTableName(), SampleTypeID, GroupName}) +
                          GetIdentitySQL();
  int32_t id = GroupID;
  Operator()->ExecSQLGetID(sql, id);
  GroupID = id;
  return 0;
}

int32_t TSampleGroup::Update() {
  Operator()->ExecSQL(
      FormatSql("Update %s set SampleTypeID = %d, GroupName = '%s'  Where GroupID= %d",
                {GetTableName(), SampleTypeID, GroupName, GroupID}));
  return 0;
}

int32_t TSampleGroup::LoadFromDataSet(TDataSet* set) {
  if (!set || set->IsEmpty() || set->Eof()) return -1;
  GroupID = set->FieldByName("GroupID").AsInteger();
  SampleTypeID = set->FieldByName("SampleTypeID").AsInteger();
  GroupName = set->FieldByName("GroupName").AsString();
  TakeSnapshot();
  return 0;
}

namespace {

const TColumnTable<TSampleGroupFields>& GroupColumns() {
  using F = TSampleGroupFields;
  static const TColumnTable<F> table({
      {"GroupID", &F::GroupID},
      {"SampleTypeID", &F::SampleTypeID},
      {"GroupName", &F::GroupName},
  });
  return table;
}

}  // namespace

TColumnValues TSampleGroup::ColumnValues() const {
  TColumnValues values;
  GroupColumns().AppendValues(*this, values);
  return values;
}

bool TSampleGroup::SetColumnValue(const std::string& column, const std::string& value) {
  return GroupColumns().Assign(*this, column, value);
}

std::string TSampleGroup::KeyCondition() const {
  return FormatSql("GroupID = %d", {GroupID});
}

int32_t TSampleGroup::LoadList(const std::string& where, TDBObjectList& list, int32_t maxCount) {
  try {
    LoadSampleRows(*Operator(), *this, where, list, maxCount);
  } catch (const std::exception& e) {
    // The fixed message stays what callers see; the database's own text
    // travels in ExtraText so that whoever reports the failure can say why.
    throw ETJSampleGroupException(e.what(), 0, 0, "加载数据错误");
  }
  return 0;
}

int32_t TSampleGroup::LoadListOfSampleType(int32_t sampleTypeID, TDBObjectList& list) {
  return LoadList(FormatSql("sampleTypeID=%d", {sampleTypeID}), list, -1);
}
