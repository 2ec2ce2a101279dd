#include "TCategory.h"

#include <memory>

#include "CatalogueRules.h"
#include "ColumnWidths.h"
#include "EntryUsers.h"
#include "Exceptions.h"
#include "Format.h"
#include "StoredValues.h"
#include "TDBObjectList.h"
#include "TDataSet.h"
#include "TItemManager.h"
#include "TSingleComm.h"
#include "TTransaction.h"

namespace {

const char* const kInsert =
    "Insert Into %s (CateID, CateInfo, CateCode, CateName, CateType,  DispOrder, IsDispInRep, "
    "IsInUse, ModifiedBy, ModifiedDate,  Remark)  Values (%d, '%s', '%s', '%s', %d,           %d, "
    "%d, %d, '%s', '%s', '%s') ";

const char* const kUpdate =
    "Update  %s  Set CateID = %d , CateInfo = '%s' , CateCode = '%s',  CateName = '%s', CateType "
    "= %d, DispOrder = %d,  IsDispInRep = %d, IsInUse = %d, ModifiedBy = '%s',  ModifiedDate = "
    "'%s', Remark = '%s' Where CateID = %d ";

}  // namespace

TCategory::TCategory() : TCatalogueObject() {
  InitObject();
}

TCategory::TCategory(TBaseDBConnPool* pool) : TCatalogueObject(pool) {
  InitObject();
}

void TCategory::InitObject() {
  TCatalogueObject::InitObject();
  SetTableName("TJCategories");
  SetWhere("1=1");
  SetFieldList("*");
  SetOrderBy("1 ASC");
}

void TCategory::Assign(TBaseDBObject* source) {
  TCatalogueObject::Assign(source);
  auto* category = dynamic_cast<TCategory*>(source);
  if (!category || category == this) return;
  static_cast<TCategoryFields&>(*this) = *category;
  loadedStamp_ = category->loadedStamp_;
}

int32_t TCategory::Find() {
  std::string sql;
  if (CateID)
    sql = FormatSql("Select %s From %s where CateID = %d ",
                    {GetFieldList(), GetTableName(), *CateID});
  else if (!CateCode.empty())
    sql = FormatSql("select %s from %s where CateCode = '%s' ",
                    {GetFieldList(), GetTableName(), CateCode});
  else if (!CateName.empty())
    sql = FormatSql("Select %s from %s where CateName= '%s' ",
                    {GetFieldList(), GetTableName(), CateName});
  else
    throw ETJItemException("查询条件不正确");
  return LoadFromDataSet(Operator()->OpenQuery(sql));
}

int32_t TCategory::Insert() {
  const std::optional<int32_t> previousID = CateID;
  const std::string previousCode = CateCode;
  try {
    InsertDrawingKeys(
        [&] {
          if (!RestoringKeys()) {
            CateID = NextIntegerKey("CateID");
            CateCode = NextID("000000", "CateCode");
          }
          Validate();
          Operator()->ExecSQL(FormatSql(
              kInsert, {GetTableName(), *CateID, CateInfo, CateCode, CateName, CateType, DispOrder,
                        IsDispInRep, IsInUse, ModifiedBy, ModifiedDate.FormatDate(), Remark}));
        },
        [&] {
          return FormatSql("CateID = %d or CateCode = '%s'", {*CateID, CateCode});
        });
  } catch (...) {
    // Nothing was stored: back to the new state, so a later Save inserts
    // instead of updating a row that does not exist.
    CateID = previousID;
    CateCode = previousCode;
    throw;
  }
  codeBeforeInsert_ = previousCode;
  return 0;
}

int32_t TCategory::Update() {
  Validate();
  const int32_t id = CateID.value_or(0);
  IDBOperator* op = Operator();
  // Save brings its transaction; a direct call gets one of its own, since
  // the two statements stand or fall together.
  std::optional<TTransaction> own;
  if (!op->GetInTransaction()) {
    PrepareWrite();
    own.emplace(op);
    WriteStarted();
  }
  op->ExecSQL(FormatSql(
      kUpdate, {GetTableName(), id, CateInfo, CateCode, CateName, CateType, DispOrder, IsDispInRep,
                IsInUse, ModifiedBy, ModifiedDate.FormatDate(), Remark, id}));
  // Items name their category as well as numbering it; left with the old
  // name they show a category that is not in any list, and saving one
  // unchanged would look the old name up and lose its category.
  op->ExecSQL(FormatSql("Update TJItem Set CateName = '%s' Where CateId = %d ", {CateName, id}));
  if (own) {
    own->Commit();
    Committed(TWriteAction::Update);
  }
  return 0;
}

// The database is asked first, in the delete's transaction; the schema's
// trigger refusing a category that items still name is the last word when
// an item arrived in between. Any other failure (a lost connection) keeps
// its own kind and text.
int32_t TCategory::Delete() {
  RefuseDeleteWhileUsed();
  try {
    Operator()->ExecSQL(
        FormatSql("DELETE FROM %s WHERE CateID = %d ", {GetTableName(), CateID.value_or(0)}));
  } catch (const EDBException& e) {
    if (e.Kind != TDBErrorKind::ConstraintRefused) throw;
    throw EWriteRefused("类别[%s]已被引用，不能删除！", {CateName});
  }
  return 0;
}

namespace {

// The stored columns of TJCategories but the key (an optional, kept apart).
const TColumnTable<TCategoryFields>& CategoryColumns() {
  using F = TCategoryFields;
  static const TColumnTable<F> table({
      {"CateCode", &F::CateCode},
      {"CateName", &F::CateName},
      {"CateInfo", &F::CateInfo},
      {"CateType", &F::CateType},
      {"DispOrder", &F::DispOrder},
      {"IsDispInRep", &F::IsDispInRep},
      {"IsInUse", &F::IsInUse},
      {"ModifiedBy", &F::ModifiedBy},
      {"Remark", &F::Remark},
  });
  return table;
}

}  // namespace

TColumnValues TCategory::ColumnValues() const {
  TColumnValues values{{"CateID", CateID ? std::to_string(*CateID) : std::string()}};
  CategoryColumns().AppendValues(*this, values);
  values.emplace_back("ModifiedDate", ModifiedDate.IsZero() ? "" : ModifiedDate.FormatDate());
  return values;
}

bool TCategory::SetColumnValue(const std::string& column, const std::string& value) {
  if (column == "CateID") {
    CateID = value.empty() ? std::nullopt : std::optional<int32_t>(std::atoi(value.c_str()));
    return true;
  }
  if (column == "ModifiedDate") {
    ModifiedDate = value.empty() ? TDateTime() : TDateTime::Parse(value);
    return true;
  }
  return CategoryColumns().Assign(*this, column, value);
}

std::string TCategory::KeyCondition() const {
  return FormatSql("CateID = %d", {CateID.value_or(0)});
}

bool TCategory::IsNew() const {
  return !CateID || RestoringKeys();
}

const TWriteRules& TCategory::WriteRules() const {
  // The row is read first: the history then takes the values it held from
  // that same read.
  static const TWriteRules rules =
      TWriteRules()
          .Check([](TDBObject& object, TWriteAction action, const TWriteContext& context) {
            CatalogueRules::RequireAddRight(action, context, CatalogueRules::kCategoryAdd);
            auto& category = static_cast<TCategory&>(object);
            if (action != TWriteAction::Delete)
              category.CateName = CatalogueRules::TrimmedName(category.CateName);
          })
          .Check([](TDBObject& object, TWriteAction action, const TWriteContext&) {
            auto& category = static_cast<TCategory&>(object);
            std::string storedName;
            if (action != TWriteAction::Insert)
              storedName = category.RefuseIfChangedElsewhere(action);
            // A name is refused only when it is new or changed: a stored
            // category that shares its name still saves.
            const bool newOrRenamed =
                action == TWriteAction::Insert || storedName != category.CateName;
            if (action != TWriteAction::Delete && newOrRenamed && !category.CateName.empty())
              CatalogueRules::RefuseTakenName(category.NameUsedByOther(category.CateName),
                                              "系统中已存在名为“%s”的类别，类别名称不能重复！",
                                              category.CateName);
          })
          .Append(RulesWithHistory());
  return rules;
}

void TCategory::RefuseDeleteWhileUsed() {
  TDataSet* rows = Operator()->OpenQuery(
      FormatSql("Select ItemName, ItemType from TJItem where CateID = %d", {CateID.value_or(0)}));
  if (rows->IsEmpty()) return;
  EntryUsers users;
  for (rows->First(); !rows->Eof(); rows->Next())
    users.Add(rows->Fields(1).AsInteger(), rows->Fields(0).AsString());
  throw EWriteRefused(FormatText("类别[%s]已被引用，不能删除！", {CateName}) + "\r\n" +
                      users.Line());
}

// The row is read again in the write's transaction. The category's row
// says who changed it last and when, which the refusal names.
std::string TCategory::RefuseIfChangedElsewhere(TWriteAction action) {
  TDataSet* rows = Operator()->OpenQuery(FormatSql(
      "Select %s From %s Where CateID = %d", {GetFieldList(), GetTableName(), CateID.value_or(0)}));
  const bool deleting = action == TWriteAction::Delete;
  if (rows->IsEmpty() || rows->Eof())
    throw EEntryDeleted(
        deleting ? "类别“%s”已被其他用户删除。" : "类别“%s”已被其他用户删除，这次的修改没有保存。",
        {CateName});
  const TCategoryFields typed = *this;
  const uint64_t loaded = loadedStamp_;
  LoadFromDataSet(rows);
  if (loadedStamp_ == loaded) {
    const std::string storedName = CateName;
    static_cast<TCategoryFields&>(*this) = typed;
    return storedName;
  }
  std::string message =
      FormatText("类别“%s”已被%s于%s修改，这次的%s没有完成。窗口中显示的是数据库中现在的内容。",
                 {CateName, ModifiedBy.empty() ? std::string("其他用户") : ModifiedBy,
                  ModifiedDate.FormatDate(), deleting ? "删除" : "保存"});
  const std::string unsaved = UnsavedFields(typed, *this);
  if (!deleting && !unsaved.empty()) message += "\r\n没有保存的内容：\r\n" + unsaved;
  throw EEntryChanged(message);
}

// The fields of the category window the user's save would have stored
// differently from the row as it is now, one line each.
std::string TCategory::UnsavedFields(const TCategoryFields& typed, const TCategoryFields& stored) {
  const std::pair<const char*, std::string TCategoryFields::*> texts[] = {
      {"类别编号", &TCategoryFields::CateCode},
      {"类别名称", &TCategoryFields::CateName},
      {"类别描述", &TCategoryFields::CateInfo},
      {"备注", &TCategoryFields::Remark}};
  std::string lines;
  auto add = [&lines](const char* label, const std::string& mine, const std::string& now) {
    if (mine != now) lines += FormatText("%s：%s（现在为 %s）\r\n", {label, mine, now});
  };
  for (const auto& [label, member] : texts) add(label, typed.*member, stored.*member);
  add("显示顺序", std::to_string(typed.DispOrder), std::to_string(stored.DispOrder));
  return lines;
}

void TCategory::AfterCommit(TWriteAction action) {
  if (action == TWriteAction::Delete) return;
  loadedStamp_ = StoredValues::Of(*this);
  if (action != TWriteAction::Update) return;
  if (TItemManager* catalogue = TItemManager::AccessInstance(0))
    catalogue->RenameCategory(CateID.value_or(0), CateName);
}

// The row was inserted but the save's transaction rolled it back.
void TCategory::Discarded(TWriteAction action) {
  if (action != TWriteAction::Insert || !CateID) return;
  CateID.reset();
  CateCode = codeBeforeInsert_;
}

int32_t TCategory::LoadFromDataSet(TDataSet* set) {
  if (!set || set->IsEmpty() || set->Eof()) return -1;
  CateID = set->FieldByName("CateID").AsInteger();
  CateInfo = set->FieldByName("CateInfo").AsString();
  CateCode = set->FieldByName("CateCode").AsString();
  CateName = set->FieldByName("CateName").AsString();
  CateType = set->FieldByName("CateType").AsInteger();
  DispOrder = set->FieldByName("DispOrder").AsInteger();
  IsDispInRep = set->FieldByName("IsDispInRep").AsBoolean();
  IsInUse = set->FieldByName("IsInUse").AsBoolean();
  ModifiedBy = set->FieldByName("ModifiedBy").AsString();
  ModifiedDate = set->FieldByName("ModifiedDate").AsDateTime();
  Remark = set->FieldByName("Remark").AsString();
  loadedStamp_ = StoredValues::Of(*this);
  TakeSnapshot();
  return 0;
}

int32_t TCategory::LoadList(const std::string& where, TDBObjectList& list, int32_t maxCount) {
  TDataSet* rows =
      Operator()->OpenQuery(FormatSql("Select %s from %s Where %s Order By %s",
                                      {GetFieldList(), GetTableName(), where, GetOrderBy()}));
  TBaseDBConnPool* pool = TSingleComm::Instance().GetConnPool();
  int32_t taken = 0;
  for (rows->First(); !rows->Eof(); rows->Next()) {
    ++taken;
    if (maxCount != -1 && taken > maxCount) break;
    auto category = std::make_unique<TCategory>(pool);
    category->LoadFromDataSet(rows);
    list.Add(category.release());
  }
  return 0;
}

void TCategory::Validate() {
  if (CateCode.empty()) throw ETJItemException("类别编号不能为空！");
  if (CateName.empty()) throw ETJItemException("类别名称不能为空！");
  using ColumnWidths::RequireWidth;
  RequireWidth(CateCode, ColumnWidths::CateCode, "类别编号");
  RequireWidth(CateName, ColumnWidths::CateName, "类别名称");
  RequireWidth(CateInfo, ColumnWidths::CateInfo, "类别描述");
  RequireWidth(Remark, ColumnWidths::CateRemark, "备注");
  RequireWidth(ModifiedBy, ColumnWidths::ModifiedBy, "修改人");
}

int32_t TCategory::GetCateIDByName(const std::string& name) {
  TDataSet* rows = Operator()->OpenQuery(
      FormatSql("Select CateID from %s where CateName='%s'", {GetTableName(), name}));
  if (rows->IsEmpty() || rows->Eof()) return 0;
  return rows->FieldByName("CateID").AsInteger();
}

bool TCategory::NameUsedByOther(const std::string& name) {
  const std::string sql =
      CateID
          ? FormatSql("Select count(*) as c from %s where CateName='%s' and CateID <> %d",
                      {GetTableName(), name, *CateID})
          : FormatSql("Select count(*) as c from %s where CateName='%s'", {GetTableName(), name});
  TDataSet* rows = Operator()->OpenQuery(sql);
  return !rows->IsEmpty() && !rows->Eof() && rows->FieldByName("c").AsInteger() > 0;
}

void TCategory::AddItem(TBaseItem* item) {
  items_.Add(item);
}

TBaseItem* TCategory::GetItem(int index) {
  if (index < 0 || index >= items_.Count()) throw ETJItemException("取项目信息数组越界!");
  return items_.At(index);
}
