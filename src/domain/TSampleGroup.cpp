#include "TSampleGroup.h"

#include <memory>

#include "CatalogueRules.h"
#include "EntryUsers.h"
#include "Exceptions.h"
#include "Format.h"
#include "MessagePrefix.h"
#include "SampleRows.h"
#include "StoredValues.h"
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

// The combination items that name the tube are asked of the database: a
// tube they still name would leave them pointing at nothing.
int32_t TSampleGroup::Delete() {
  TDataSet* users = Operator()->OpenQuery(
      FormatSql("Select ItemName, ItemType From TJItem Where SampleGroupID = %d", {GroupID}));
  if (!users->IsEmpty()) {
    EntryUsers names;
    for (users->First(); !users->Eof(); users->Next())
      names.Add(users->Fields(1).AsInteger(), users->Fields(0).AsString());
    throw EWriteRefused(FormatText("试管“%s”已被引用，不能删除！", {GroupName}) + "\r\n" +
                        names.Line());
  }
  Operator()->ExecSQL(FormatSql("Delete %s Where GroupID = %d", {GetTableName(), GroupID}));
  return 0;
}

// The row is read first: the history then takes the values it held from
// that same read.
const TWriteRules& TSampleGroup::WriteRules() const {
  static const TWriteRules rules =
      TWriteRules()
          .Check([](TDBObject& object, TWriteAction action, const TWriteContext&) {
            auto& group = static_cast<TSampleGroup&>(object);
            if (action != TWriteAction::Delete) {
              group.GroupName = CatalogueRules::TrimmedName(group.GroupName);
              if (group.GroupName.empty()) throw EWriteRefused("试管名称不能为空！");
            }
            if (action != TWriteAction::Insert) group.RefuseIfChangedElsewhere(action);
          })
          .Append(RulesWithHistory());
  return rules;
}

// The row is read again in the write's transaction, as for every entry of
// the catalogue.
void TSampleGroup::RefuseIfChangedElsewhere(TWriteAction action) {
  TDataSet* rows = Operator()->OpenQuery(
      FormatSql("Select * From %s Where GroupID = %d", {GetTableName(), GroupID}));
  const bool deleting = action == TWriteAction::Delete;
  if (rows->IsEmpty() || rows->Eof())
    throw EEntryDeleted(
        deleting ? "试管“%s”已被其他用户删除。" : "试管“%s”已被其他用户删除，这次的修改没有保存。",
        {GroupName});
  const TSampleGroupFields typed = *this;
  const uint64_t loaded = loadedStamp_;
  LoadFromDataSet(rows);
  if (loadedStamp_ == loaded) {
    static_cast<TSampleGroupFields&>(*this) = typed;
    return;
  }
  throw EEntryChanged(
      "试管“%s”已被%s修改，这次的%s没有完成。窗口中显示的是数据库中现在的内容。",
      {GroupName, WhoChangedLast(std::to_string(GroupID)), deleting ? "删除" : "保存"});
}

void TSampleGroup::AfterCommit(TWriteAction action) {
  if (action != TWriteAction::Delete) loadedStamp_ = StoredValues::Of(*this);
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
  loadedStamp_ = StoredValues::Of(*this);
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
