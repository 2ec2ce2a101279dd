#include "TBaseItem.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

#include "CatalogueRules.h"
#include "ColumnIndex.h"
#include "ColumnWidths.h"
#include "EntryUsers.h"
#include "Exceptions.h"
#include "Format.h"
#include "StoredValues.h"
#include "TCategory.h"
#include "TDBObjectList.h"
#include "TDataSet.h"
#include "TItemManager.h"
#include "TSingleComm.h"

namespace {

const char* const kInsert =
    "Insert Into %s (ItemID, ItemCode, ItemName, AbCustom, AbForPY, AbForWB, AliasID, CheckOrder, "
    "DispOrder, HintForLower, HintForUpper, IsSecCheck,   IsInUse, IsRePorted, ItemUnit, "
    "LowerLimit, UpLimit, Max, Min,  NaturalResult, ResultType, SampleTypeID, Sex, UnitPrice, "
    "StandItemName, CateId, CateName, ChargeType, ItemType, ItemsString, IsHaveExamProcess, "
    "IsInstrument, ValueFormat, ExcludeItems, SampleGroupID) Values (%d, '%s', '%s', '%s', '%s', "
    "'%s', '%s', %d, %d, '%s', '%s', %d, %d, %d, '%s', '%s', '%s', '%s', '%s',  '%s', %d, %d, "
    "'%s', %f, '%s', %d, '%s', '%s', %d, '%s', %d, %d, '%s', '%s', %d)";

const char* const kUpdate =
    "Update  %s  Set ItemCode = '%s', ItemName = '%s',ItemUnit = '%s', Min = '%s',LowerLimit = "
    "'%s', UpLimit = '%s', NaturalResult = '%s',HintForLower = '%s', HintForUpper = '%s',Sex = "
    "'%s', UnitPrice = %f,  Max = '%s', DispOrder = %d,  AbForPY = '%s', AbForWB = '%s',AbCustom "
    "= '%s', IsRePorted = %d, IsInUse = %d,  ResultType = %d, AliasID = '%s', CheckOrder = "
    "%d,SampleTypeID = %d, StandItemName = '%s', CateId = %d, CateName = '%s',   ChargeType = "
    "'%s', ItemType = %d, ItemsString = '%s', IsSecCheck = %d, IsHaveExamProcess = %d, "
    "IsInstrument = %d, ValueFormat = '%s',  ExcludeItems='%s', SampleGroupID = %d  WHERE ItemID "
    "= %d";

// Codes are ASCII; ';' (0x3B) can never be the second byte of a GBK pair
// (0x40..0xFE), so a byte-wise split of the member text is safe.
template <class Visit>
void ForEachCode(const std::string& text, Visit&& visit) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t semicolon = text.find(';', start);
    if (semicolon == std::string::npos) {
      visit(std::string_view(text).substr(start));  // a last code without ";"
      return;
    }
    visit(std::string_view(text).substr(start, semicolon - start));
    start = semicolon + 1;
  }
}

std::string TrimBlanks(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

// The catalogue entry for a code read from a member text, without the side
// effect of FindInCatalogue (LoadItems rebuilds the whole text at its end).
TBaseItem* LookUpCode(TItemManager& catalogue, std::string_view code) {
  const std::string trimmed = TrimBlanks(code);
  if (trimmed.empty()) return nullptr;
  return catalogue.FindItem(trimmed);
}

// Column "c" of the operator's answer as an integer; a Null (no rows) is 0.
int32_t CountColumn(TDataSet* rows) {
  if (rows->IsEmpty() || rows->Eof()) return 0;
  return rows->FieldByName("c").AsInteger();
}

}  // namespace

/// Positions of the TJItem columns in one result set.
struct TBaseItem::Columns {
  explicit Columns(const TDataSet& set)
      : AbCustom(ColumnIndex(set, "AbCustom")),
        AbForPY(ColumnIndex(set, "ABForPy")),
        AbForWB(ColumnIndex(set, "ABForWb")),
        AliasID(ColumnIndex(set, "AliasID")),
        HintForLower(ColumnIndex(set, "HintForLower")),
        HintForUpper(ColumnIndex(set, "HintForUpper")),
        ItemCode(ColumnIndex(set, "ItemCode")),
        ItemName(ColumnIndex(set, "ItemName")),
        ItemUnit(ColumnIndex(set, "ItemUnit")),
        LowerLimit(ColumnIndex(set, "LowerLimit")),
        UpLimit(ColumnIndex(set, "UpLimit")),
        Max(ColumnIndex(set, "Max")),
        Min(ColumnIndex(set, "Min")),
        NaturalResult(ColumnIndex(set, "NaturalResult")),
        Sex(ColumnIndex(set, "Sex")),
        StandItemName(ColumnIndex(set, "StandItemName")),
        CateName(ColumnIndex(set, "CateName")),
        ChargeType(ColumnIndex(set, "ChargeType")),
        ValueFormat(ColumnIndex(set, "ValueFormat")),
        ExcludeItems(ColumnIndex(set, "ExcludeItems")),
        CheckOrder(ColumnIndex(set, "CheckOrder")),
        DispOrder(ColumnIndex(set, "DispOrder")),
        ItemID(ColumnIndex(set, "ItemID")),
        ResultType(ColumnIndex(set, "ResultType")),
        SampleTypeID(ColumnIndex(set, "SampleTypeID")),
        CateID(ColumnIndex(set, "CateID")),
        ItemType(ColumnIndex(set, "ItemType")),
        SampleGroupID(ColumnIndex(set, "SampleGroupID")),
        IsInUse(ColumnIndex(set, "IsInUse")),
        IsRePorted(ColumnIndex(set, "IsRePorted")),
        IsSecCheck(ColumnIndex(set, "IsSecCheck")),
        IsHaveExamProcess(ColumnIndex(set, "IsHaveExamProcess")),
        IsInstrument(ColumnIndex(set, "IsInstrument")),
        UnitPrice(ColumnIndex(set, "UnitPrice")),
        ItemsString(ColumnIndex(set, "ItemsString")) {}

  int AbCustom, AbForPY, AbForWB, AliasID, HintForLower, HintForUpper, ItemCode, ItemName, ItemUnit,
      LowerLimit, UpLimit, Max, Min, NaturalResult, Sex, StandItemName, CateName, ChargeType,
      ValueFormat, ExcludeItems;
  int CheckOrder, DispOrder, ItemID, ResultType, SampleTypeID, CateID, ItemType, SampleGroupID;
  int IsInUse, IsRePorted, IsSecCheck, IsHaveExamProcess, IsInstrument;
  int UnitPrice, ItemsString;
};

TBaseItem::TBaseItem() : TCatalogueObject() {
  InitObject();
}

TBaseItem::TBaseItem(TBaseDBConnPool* pool) : TCatalogueObject(pool) {
  InitObject();
}

TBaseItem::TBaseItem(TBindOnFirstUse tag) : TCatalogueObject(tag) {
  InitObject();
}

TBaseItem::~TBaseItem() {
  // A composite that goes away no longer references its members.
  for (TBaseItem* member : items_) member->usedBy_.Remove(this);
}

void TBaseItem::InitObject() {
  TCatalogueObject::InitObject();
  static const TSharedTexts kTexts = MakeQueryTexts("TJItem", "1=1", "*", "ItemType, ItemName ASC");
  ShareQueryTexts(kTexts);
}

void TBaseItem::Assign(TBaseDBObject* source) {
  TCatalogueObject::Assign(source);
  auto* item = dynamic_cast<TBaseItem*>(source);
  if (!item || item == this) return;
  static_cast<TItemFields&>(*this) = *item;
  SampleTypeName = item->GetSampleTypeName();
  SetItemsString(item->GetItemsString());
  loadedStamp_ = item->loadedStamp_;
  // The copy lists the same catalogue objects. Copying each member (and
  // each member's composites) in turn would never end once members know
  // their composites, and would leave unowned copies behind.
  items_.CopyFrom(item->items_);
  usedBy_.CopyFrom(item->usedBy_);
}

int32_t TBaseItem::Delete() {
  RefuseDeleteWhileUsed();
  Operator()->ExecSQL(FormatSql("DELETE FROM %s WHERE ItemID = %d ", {GetTableName(), ItemID}));
  return 0;
}

void TBaseItem::TakeRow(const TBaseItem& row) {
  const std::string remark = Remark;
  static_cast<TItemFields&>(*this) = row;
  Remark = remark;
  itemsString_ = row.itemsString_;
  loadedStamp_ = row.loadedStamp_;
}

bool TBaseItem::IsNew() const {
  return ItemID == 0 || RestoringKeys();
}

namespace {

const char* AddRightOf(int32_t itemType) {
  switch (itemType) {
    case 1:
      return CatalogueRules::kCombItemAdd;
    case 2:
      return CatalogueRules::kCheckSetAdd;
    default:
      return CatalogueRules::kItemAdd;
  }
}

}  // namespace

const TWriteRules& TBaseItem::WriteRules() const {
  // The row is read first (RefuseIfChangedElsewhere): the history then
  // takes the values it held from that same read.
  static const TWriteRules rules =
      TWriteRules()
          .Check([](TDBObject& object, TWriteAction action, const TWriteContext& context) {
            auto& entry = static_cast<TBaseItem&>(object);
            CatalogueRules::RequireAddRight(action, context, AddRightOf(entry.ItemType));
            if (action != TWriteAction::Delete)
              entry.ItemName = CatalogueRules::TrimmedName(entry.ItemName);
          })
          .Check([](TDBObject& object, TWriteAction action, const TWriteContext&) {
            auto& entry = static_cast<TBaseItem&>(object);
            // Decided against the row as the database holds it now, in this
            // transaction: never against what this process remembers.
            std::string storedName;
            if (action != TWriteAction::Insert) storedName = entry.RefuseIfChangedElsewhere(action);
            if (action == TWriteAction::Delete) return;
            entry.RefuseTakenName(action == TWriteAction::Insert || storedName != entry.ItemName);
            entry.RefuseDanglingReferences();
          })
          .Append(RulesWithHistory());
  return rules;
}

// A new examination item must not repeat any row's name (it would be the
// same entry twice). Any other name is refused only when it is new or
// changed, and only against rows of the same kind: a combination item may
// share the name of the single item it wraps, and a stored row whose name
// another already shared still saves.
void TBaseItem::RefuseTakenName(bool newOrRenamed) {
  if (ItemName.empty()) return;  // Validate refuses it with its own message
  if (ItemType == 0 && IsNew()) {
    CatalogueRules::RefuseTakenName(NameExists(ItemName),
                                    "系统中已存在该项目，不需要再次加入该项目！", ItemName);
    return;
  }
  if (!newOrRenamed || !NameUsedByOtherOfKind(ItemName)) return;
  static const char* const messages[3] = {"系统中已存在名为“%s”的项目，项目名称不能重复！",
                                          "系统中已存在名为“%s”的组合项目，组合项目名称不能重复！",
                                          "系统中已存在名为“%s”的项目，套餐名称不能重复！"};
  CatalogueRules::RefuseTakenName(true, messages[ItemType == 1 || ItemType == 2 ? ItemType : 0],
                                  ItemName);
}

// The row is read again inside the write's transaction (the change stamp
// raised first holds every other writer of the library off until the
// commit). Unchanged, the object keeps what the user typed; changed or gone,
// the object takes the row as it is now and the write is refused, naming
// what was not saved.
std::string TBaseItem::RefuseIfChangedElsewhere(TWriteAction action) {
  TDataSet* rows = Operator()->OpenQuery(
      FormatSql("Select * From %s Where ItemID = %d", {GetTableName(), ItemID}));
  const bool deleting = action == TWriteAction::Delete;
  if (rows->IsEmpty() || rows->Eof())
    throw EEntryDeleted(
        deleting ? "“%s”已被其他用户删除。" : "“%s”已被其他用户删除，这次的修改没有保存。",
        {ItemName});
  const TItemFields typed = *this;
  const std::string typedItems = itemsString_;
  const uint64_t loaded = loadedStamp_;
  LoadRow(rows, Columns(*rows));
  TakeSnapshot();  // what the row held: the history's old values
  if (loadedStamp_ == loaded) {
    const std::string storedName = ItemName;
    static_cast<TItemFields&>(*this) = typed;
    itemsString_ = typedItems;
    return storedName;
  }
  // Remark and SampleTypeName are not columns: they stay as shown.
  Remark = typed.Remark;
  SampleTypeName = typed.SampleTypeName;
  ReloadItemsIfChanged();
  const std::string unsaved = StoredValues::Unsaved(typed, typedItems, *this, itemsString_);
  std::string message =
      FormatText("“%s”已被%s修改，这次的%s没有完成。窗口中显示的是数据库中现在的内容。",
                 {ItemName, WhoChangedLast(ItemCode), deleting ? "删除" : "保存"});
  if (!deleting && !unsaved.empty()) message += "\r\n没有保存的内容：\r\n" + unsaved;
  throw EEntryChanged(message);
}

// Every stored member and exclusion text is read and matched by whole
// entry, in the delete's transaction: rows this process never loaded count
// as much as those it holds.
void TBaseItem::RefuseDeleteWhileUsed() {
  TDataSet* rows = Operator()->OpenQuery(FormatSql(
      "Select ItemName, ItemType, ItemsString, ExcludeItems From %s Where ItemType <> 0 And "
      "ItemID <> %d",
      {GetTableName(), ItemID}));
  EntryUsers users;
  if (!rows->IsEmpty()) {
    const TField name = rows->FieldByName("ItemName");
    const TField type = rows->FieldByName("ItemType");
    const TField members = rows->FieldByName("ItemsString");
    const TField exclusions = rows->FieldByName("ExcludeItems");
    for (rows->First(); !rows->Eof(); rows->Next()) {
      auto names = [&](const TField& text) {
        const std::vector<std::string> codes = CodesOf(text.AsString());
        return std::find(codes.begin(), codes.end(), ItemCode) != codes.end();
      };
      if (names(members) || names(exclusions)) users.Add(type.AsInteger(), name.AsString());
    }
  }
  if (!users.Empty()) throw EWriteRefused("引用项目不能被删除!\r\n" + users.Line());
}

// What the row names must exist when it is stored: its members and
// exclusions (by code), its tube and its category, asked of the database.
void TBaseItem::RefuseDanglingReferences() {
  std::vector<std::string> codes = CodesOf(itemsString_);
  for (const std::string& code : CodesOf(ExcludeItems)) codes.push_back(code);
  std::string gone;
  if (!codes.empty()) {
    const std::unordered_set<std::string> found = StoredCodes(codes);
    for (const std::string& code : codes) {
      if (found.count(code)) continue;
      const TBaseItem* known = TItemManager::Instance().FindItem(code);
      gone += FormatText("项目“%s”（%s）\r\n", {known ? known->ItemName : code, code});
    }
  }
  if (SampleGroupID != 0 || CateID != 0) {
    TDataSet* rows = Operator()->OpenQuery(
        FormatSql("Select (Select count(*) From TJSampleGroup Where GroupID = %d) As g, "
                  "(Select count(*) From TJCategories Where CateID = %d) As c, "
                  "(Select CateName From TJCategories Where CateID = %d) As n",
                  {SampleGroupID, CateID, CateID}));
    if (SampleGroupID != 0 && rows->FieldByName("g").AsInteger() == 0) gone += "所选试管\r\n";
    if (CateID != 0 && rows->FieldByName("c").AsInteger() == 0)
      gone += FormatText("类别“%s”\r\n", {CateName});
    // The category's name as the database holds it now: a rename saved at
    // another desk meanwhile is not undone by this row.
    else if (CateID != 0)
      CateName = rows->FieldByName("n").AsString();
  }
  if (!gone.empty())
    throw EWriteRefused("“%s”没有保存：以下内容已被其他用户删除，请重新选择后再保存。\r\n%s",
                        {ItemName, gone});
}

void TBaseItem::AfterCommit(TWriteAction action) {
  if (action == TWriteAction::Delete) {
    // The row is gone: its members are no longer held by it.
    for (TBaseItem* member : items_) member->usedBy_.Remove(this);
    return;
  }
  loadedStamp_ = StoredValues::Of(*this, itemsString_);
  // The back links are a cache the trees use; the database decides deletes.
  for (TBaseItem* member : items_) member->AddUsedBy(this);
}

// The row was inserted but the save's transaction rolled it back.
void TBaseItem::Discarded(TWriteAction action) {
  if (action != TWriteAction::Insert || ItemID == 0) return;
  ItemID = 0;
  ItemCode = codeBeforeInsert_;
}

int32_t TBaseItem::Find() {
  std::string sql;
  if (!ItemCode.empty())
    sql = FormatSql("select %s from %s where ItemCode = '%s' ",
                    {GetFieldList(), GetTableName(), ItemCode});
  else if (ItemID != 0)
    sql =
        FormatSql("Select %s From %s where ItemID = %d ", {GetFieldList(), GetTableName(), ItemID});
  else if (!ItemName.empty())
    sql = FormatSql("select %s from %s where ItemName = '%s' ",
                    {GetFieldList(), GetTableName(), ItemName});
  else
    throw ETJItemException("查询条件不正确");
  Operator()->OpenQuery(sql);
  return LoadFromDataSet(Operator()->GetDataSet());
}

int32_t TBaseItem::Insert() {
  Validate();
  const int32_t previousID = ItemID;
  const std::string previousCode = ItemCode;
  try {
    InsertDrawingKeys([&] { DrawKeysAndInsert(); },
                      [&] {
                        return FormatSql("ItemID = %d or ItemCode = '%s'", {ItemID, ItemCode});
                      });
  } catch (...) {
    // Nothing was stored: the object stays new, so a later Save inserts.
    ItemID = previousID;
    ItemCode = previousCode;
    throw;
  }
  codeBeforeInsert_ = previousCode;
  return 0;
}

void TBaseItem::DrawKeysAndInsert() {
  if (!RestoringKeys()) {
    ItemID = NextIntegerKey("ItemID");
    if (!KeepingCode() || ItemCode.empty()) ItemCode = NextID("000000", "ItemCode");
  }
  Operator()->ExecSQL(FormatSql(kInsert, {GetTableName(),
                                          ItemID,
                                          ItemCode,
                                          ItemName,
                                          AbCustom,
                                          AbForPY,
                                          AbForWB,
                                          AliasID,
                                          CheckOrder,
                                          DispOrder,
                                          HintForLower,
                                          HintForUpper,
                                          IsSecCheck,
                                          IsInUse,
                                          IsRePorted,
                                          ItemUnit,
                                          LowerLimit,
                                          UpLimit,
                                          Max,
                                          Min,
                                          NaturalResult,
                                          ResultType,
                                          SampleTypeID,
                                          Sex,
                                          UnitPrice,
                                          StandItemName,
                                          CateID,
                                          CateName,
                                          ChargeType,
                                          ItemType,
                                          GetItemsString(),
                                          IsHaveExamProcess,
                                          IsInstrument,
                                          ValueFormat,
                                          ExcludeItems,
                                          SampleGroupID}));
}

int32_t TBaseItem::Update() {
  Validate();
  Operator()->ExecSQL(FormatSql(kUpdate, {GetTableName(),
                                          ItemCode,
                                          ItemName,
                                          ItemUnit,
                                          Min,
                                          LowerLimit,
                                          UpLimit,
                                          NaturalResult,
                                          HintForLower,
                                          HintForUpper,
                                          Sex,
                                          UnitPrice,
                                          Max,
                                          DispOrder,
                                          AbForPY,
                                          AbForWB,
                                          AbCustom,
                                          IsRePorted,
                                          IsInUse,
                                          ResultType,
                                          AliasID,
                                          CheckOrder,
                                          SampleTypeID,
                                          StandItemName,
                                          CateID,
                                          CateName,
                                          ChargeType,
                                          ItemType,
                                          GetItemsString(),
                                          IsSecCheck,
                                          IsHaveExamProcess,
                                          IsInstrument,
                                          ValueFormat,
                                          ExcludeItems,
                                          SampleGroupID,
                                          ItemID}));
  return 0;
}

int32_t TBaseItem::LoadFromDataSet(TDataSet* dataSet) {
  if (!dataSet || dataSet->IsEmpty() || dataSet->Eof()) return -1;
  LoadRow(dataSet, Columns(*dataSet));
  return 0;
}

void TBaseItem::LoadRow(TDataSet* set, const Columns& c) {
  // Views of the set's own text: each field is assigned straight from the
  // row, without a string made and freed in between.
  auto text = [set](int column) { return set->Fields(column).AsView(); };
  auto number = [set](int column) { return set->Fields(column).AsInteger(); };
  auto flag = [set](int column) { return set->Fields(column).AsBoolean(); };
  AbCustom = text(c.AbCustom);
  AbForPY = text(c.AbForPY);
  AbForWB = text(c.AbForWB);
  AliasID = text(c.AliasID);
  HintForLower = text(c.HintForLower);
  HintForUpper = text(c.HintForUpper);
  ItemCode = text(c.ItemCode);
  ItemName = text(c.ItemName);
  ItemUnit = text(c.ItemUnit);
  LowerLimit = text(c.LowerLimit);
  UpLimit = text(c.UpLimit);
  Max = text(c.Max);
  Min = text(c.Min);
  NaturalResult = text(c.NaturalResult);
  Sex = text(c.Sex);
  StandItemName = text(c.StandItemName);
  CateName = text(c.CateName);
  ChargeType = text(c.ChargeType);
  ValueFormat = text(c.ValueFormat);
  ExcludeItems = text(c.ExcludeItems);
  CheckOrder = number(c.CheckOrder);
  DispOrder = number(c.DispOrder);
  ItemID = number(c.ItemID);
  ResultType = number(c.ResultType);
  SampleTypeID = number(c.SampleTypeID);
  CateID = number(c.CateID);
  ItemType = number(c.ItemType);
  SampleGroupID = number(c.SampleGroupID);
  IsInUse = flag(c.IsInUse);
  IsRePorted = flag(c.IsRePorted);
  IsSecCheck = flag(c.IsSecCheck);
  IsHaveExamProcess = flag(c.IsHaveExamProcess);
  IsInstrument = flag(c.IsInstrument);
  UnitPrice = set->Fields(c.UnitPrice).AsFloat();
  itemsString_.assign(text(c.ItemsString));
  // The stamp only: a whole copy of the values for every catalogue entry
  // would more than treble the catalogue's memory. A write reads the row it
  // needs the old values of (RefuseIfChangedElsewhere).
  loadedStamp_ = StoredValues::Of(*this, itemsString_);
}

namespace {

// The stored columns of TJItem but ItemsString (kept by the class itself).
const TColumnTable<TItemFields>& ItemColumns() {
  using F = TItemFields;
  static const TColumnTable<F> table({
      {"ItemID", &F::ItemID},
      {"ItemCode", &F::ItemCode},
      {"ItemName", &F::ItemName},
      {"AbCustom", &F::AbCustom},
      {"AbForPY", &F::AbForPY},
      {"AbForWB", &F::AbForWB},
      {"AliasID", &F::AliasID},
      {"CheckOrder", &F::CheckOrder},
      {"DispOrder", &F::DispOrder},
      {"HintForLower", &F::HintForLower},
      {"HintForUpper", &F::HintForUpper},
      {"IsSecCheck", &F::IsSecCheck},
      {"IsInUse", &F::IsInUse},
      {"IsRePorted", &F::IsRePorted},
      {"ItemUnit", &F::ItemUnit},
      {"LowerLimit", &F::LowerLimit},
      {"UpLimit", &F::UpLimit},
      {"Max", &F::Max},
      {"Min", &F::Min},
      {"NaturalResult", &F::NaturalResult},
      {"ResultType", &F::ResultType},
      {"SampleTypeID", &F::SampleTypeID},
      {"Sex", &F::Sex},
      {"UnitPrice", &F::UnitPrice},
      {"StandItemName", &F::StandItemName},
      {"CateID", &F::CateID},
      {"CateName", &F::CateName},
      {"ChargeType", &F::ChargeType},
      {"ItemType", &F::ItemType},
      {"IsHaveExamProcess", &F::IsHaveExamProcess},
      {"IsInstrument", &F::IsInstrument},
      {"ValueFormat", &F::ValueFormat},
      {"ExcludeItems", &F::ExcludeItems},
      {"SampleGroupID", &F::SampleGroupID},
  });
  return table;
}

}  // namespace

TColumnValues TBaseItem::ColumnValues() const {
  TColumnValues values;
  ItemColumns().AppendValues(*this, values);
  values.emplace_back("ItemsString", itemsString_);
  return values;
}

bool TBaseItem::SetColumnValue(const std::string& column, const std::string& value) {
  if (column != "ItemsString") return ItemColumns().Assign(*this, column, value);
  itemsString_ = value;
  return true;
}

std::string TBaseItem::EntryKind() const {
  switch (ItemType) {
    case 1:
      return "组合项目";
    case 2:
      return "套餐";
    default:
      return "项目";
  }
}

std::string TBaseItem::KeyCondition() const {
  return FormatSql("ItemID = %d", {ItemID});
}

int32_t TBaseItem::LoadList(const std::string& where, TDBObjectList& list, int32_t maxCount) {
  TDataSet* rows =
      Operator()->OpenQuery(FormatSql("Select %s from %s Where %s Order By %s",
                                      {GetFieldList(), GetTableName(), where, GetOrderBy()}));
  list.Clear();
  if (rows->IsEmpty()) return 0;
  const Columns columns(*rows);
  int32_t appended = 0;
  for (rows->First(); !rows->Eof(); rows->Next()) {
    if (maxCount != -1 && appended >= maxCount) break;
    // Made on the shared pool when first used: most rows of a list (every
    // entry of the catalogue) are only shown.
    std::unique_ptr<TBaseItem> item(new TBaseItem(TBindOnFirstUse{}));
    item->LoadRow(rows, columns);
    list.Add(item.release());
    ++appended;
  }
  // The objects hold the rows now. The set would otherwise keep them (a
  // third again of the catalogue's own memory) while the querying object
  // lives, and its memory afterwards for the next large result.
  rows->CloseAndFree();
  return 0;
}

void TBaseItem::LoadItems() {
  if (itemsLoaded_) return;
  TItemManager& catalogue = TItemManager::Instance();
  const std::string text = itemsString_;
  // Marked before the members are resolved, so that a text leading back to
  // this object (directly or through its members) ends instead of recursing.
  itemsLoaded_ = true;
  items_.Clear();
  const auto codes = static_cast<int>(std::count(text.begin(), text.end(), ';')) + 1;
  items_.Reserve(codes);
  std::vector<TBaseItem*> linked;
  linked.reserve(static_cast<size_t>(codes));
  try {
    const std::vector<TBaseItem*> members = catalogue.FindItems(CodesOf(text));
    // Each member is read and linked back below: its memory is asked for
    // for all of them first.
    for (const TBaseItem* found : members)
      if (found) __builtin_prefetch(&found->usedBy_);
    for (TBaseItem* found : members) {
      if (!found) continue;
      if (found->ItemType != 0) found->LoadItems();
      items_.Add(found);
      if (found->usedBy_.Add(this)) linked.push_back(found);
    }
  } catch (...) {
    // Left as it was: a later save must not write a half-built member text.
    for (TBaseItem* member : linked) member->usedBy_.Remove(this);
    items_.Clear();
    itemsString_ = text;
    itemsLoaded_ = false;
    throw;
  }
  BuildItemsString();
}

TBaseItem* TBaseItem::GetItem(int index) {
  return items_.At(index);
}

TBaseItem* TBaseItem::FindItem(const std::string& code) {
  return items_.FindByCode(code);
}

std::vector<TBaseItem*> TBaseItem::FindItems(const std::vector<std::string>& codes) {
  return items_.FindByCodes(codes);
}

void TBaseItem::CollectItems(TBaseItemList& list, int32_t itemType) {
  std::unordered_set<const TBaseItem*> visited{this};
  CollectInto(list, itemType, visited);
}

void TBaseItem::CollectInto(TBaseItemList& list, int32_t itemType,
                            std::unordered_set<const TBaseItem*>& visited) {
  for (TBaseItem* member : items_) {
    if (member->ItemType == itemType) list.Add(member);
    // A composite already walked added all it could: walking it again
    // changes nothing, and on cyclic data it would never end.
    if (member->ItemType != 0 && visited.insert(member).second)
      member->CollectInto(list, itemType, visited);
  }
}

void TBaseItem::RemoveItem(TBaseItem* item) {
  if (items_.Remove(item)) BuildItemsString();
}

void TBaseItem::Validate() {
  if (ItemName.empty()) throw ETJItemException("项目名称不能为空！");
  if (ResultType == 1) {
    if (UpLimit.empty()) throw ETJItemException("结果类型为[数值类型]，上限不能为空！");
    if (LowerLimit.empty()) throw ETJItemException("结果类型为[数值类型]，下限不能为空！");
  }
  if (!(UnitPrice >= 0)) throw ETJItemException("单价不能为负数！");
  ValidateWidths();
}

void TBaseItem::ValidateWidths() const {
  using ColumnWidths::RequireWidth;
  RequireWidth(ItemCode, ColumnWidths::ItemCode, "项目编号");
  RequireWidth(ItemName, ColumnWidths::ItemName, "项目名称");
  RequireWidth(StandItemName, ColumnWidths::StandItemName, "标准名称");
  RequireWidth(CateName, ColumnWidths::ItemCateName, "体检类别");
  RequireWidth(Sex, ColumnWidths::Sex, "适用性别");
  RequireWidth(ItemUnit, ColumnWidths::ItemUnit, "单位");
  RequireWidth(AbForPY, ColumnWidths::AbForPY, "拼音编码");
  RequireWidth(AbForWB, ColumnWidths::AbForWB, "五笔编码");
  RequireWidth(AbCustom, ColumnWidths::AbCustom, "自定义编码");
  RequireWidth(AliasID, ColumnWidths::AliasID, "别名编号");
  RequireWidth(NaturalResult, ColumnWidths::NaturalResult, "正常结果");
  RequireWidth(UpLimit, ColumnWidths::UpLimit, "参考上限");
  RequireWidth(LowerLimit, ColumnWidths::LowerLimit, "参考下限");
  RequireWidth(HintForUpper, ColumnWidths::HintForUpper, "偏高显示");
  RequireWidth(HintForLower, ColumnWidths::HintForLower, "偏低显示");
  RequireWidth(Max, ColumnWidths::Max, "最大值");
  RequireWidth(Min, ColumnWidths::Min, "最小值");
  RequireWidth(ChargeType, ColumnWidths::ChargeType, "收费类型");
  RequireWidth(ValueFormat, ColumnWidths::ValueFormat, "结果值格式");
}

bool TBaseItem::NameExists(const std::string& name) {
  TDataSet* rows = Operator()->OpenQuery(
      FormatSql("Select count(*) as c from tjItem where ItemName='%s'", {name}));
  return CountColumn(rows) > 0;
}

bool TBaseItem::NameUsedByOtherOfKind(const std::string& name) {
  return CountColumn(
             Operator()->OpenQuery(FormatSql("Select count(*) as c from tjItem where ItemName='%s' "
                                             "and ItemID <> %d and ItemType = %d",
                                             {name, ItemID, ItemType}))) > 0;
}

bool TBaseItem::NameUsedByOther(const std::string& name) {
  return CountColumn(Operator()->OpenQuery(
             FormatSql("Select count(*) as c from tjItem where ItemName='%s' and ItemID <> %d",
                       {name, ItemID}))) > 0;
}

int32_t TBaseItem::NextDispOrder(int32_t cateID) {
  return CountColumn(Operator()->OpenQuery(FormatSql(
      "Select max(DispOrder)+1 as c From %s where CateID = %d ", {GetTableName(), cateID})));
}

int32_t TBaseItem::NextCheckSetDispOrder() {
  return CountColumn(Operator()->OpenQuery(
      FormatSql("Select max(DispOrder)+1 as c From %s where Itemtype = 2 ", {GetTableName()})));
}

std::string TBaseItem::GetSampleTypeName() {
  TDataSet* rows = Operator()->OpenQuery(
      FormatSql("select SampleTypeName from TJSampleType where SampleTypeID = %d", {SampleTypeID}));
  if (rows->IsEmpty() || rows->Eof()) return std::string();
  return rows->FieldByName("SampleTypeName").AsString();
}

void TBaseItem::FillCategory(TCategory* category, int32_t itemType) {
  category->ClearItems();
  if (!category->CateID) return;
  const int32_t cateID = *category->CateID;
  for (TBaseItem* entry : items_)
    if (entry->ItemType == itemType && entry->CateID == cateID) category->AddItem(entry);
}

void TBaseItem::FillCategories(TDBObjectList& categories, int32_t itemType) {
  // One pass over the catalogue instead of one per category: a tree of 500
  // categories over 50 000 items would otherwise look at 25 million entries.
  std::unordered_map<int32_t, std::vector<TCategory*>> byID;
  for (int i = 0; i < categories.Count(); ++i) {
    auto* category = categories.ItemAs<TCategory>(i);
    category->ClearItems();
    if (category->CateID) byID[*category->CateID].push_back(category);
  }
  for (TBaseItem* entry : items_) {
    if (entry->ItemType != itemType) continue;
    const auto found = byID.find(entry->CateID);
    if (found == byID.end()) continue;
    for (TCategory* category : found->second) category->AddItem(entry);
  }
}

std::vector<std::string> TBaseItem::CodesOf(const std::string& text) {
  std::vector<std::string> codes;
  ForEachCode(text, [&](std::string_view code) {
    std::string trimmed = TrimBlanks(code);
    if (!trimmed.empty()) codes.push_back(std::move(trimmed));
  });
  return codes;
}

void TBaseItem::BuildItemsString() {
  std::string text;
  text.reserve(items_.Count() * 7);  // six-digit codes and their ";"
  for (TBaseItem* member : items_) {
    text += member->ItemCode;
    text += ';';
  }
  itemsString_ = std::move(text);
}

void TBaseItem::AddItem(TBaseItem* item) {
  if (items_.Add(item)) BuildItemsString();
}

void TBaseItem::ClearItems() {
  items_.Clear();
  BuildItemsString();
}

void TBaseItem::ReloadItemsIfChanged() {
  if (!itemsLoaded_) return;
  const std::string text = itemsString_;
  BuildItemsString();
  if (itemsString_ == text) return;
  for (TBaseItem* member : items_) member->usedBy_.Remove(this);
  items_.Clear();
  itemsString_ = text;
  itemsLoaded_ = false;
  LoadItems();
}

void TBaseItem::AddUsedBy(TBaseItem* composite) {
  usedBy_.Add(composite);
}

TBaseItem* TBaseItem::FindInCatalogue(const std::string& code) {
  TBaseItem* found = LookUpCode(TItemManager::Instance(), code);
  if (!found) RemoveCode(code);
  return found;
}

void TBaseItem::RemoveCode(const std::string& code) {
  // Whole entries only: "000001" must not match inside "1000001;".
  size_t start = 0;
  while (start < itemsString_.size()) {
    const size_t semicolon = itemsString_.find(';', start);
    const size_t end = semicolon == std::string::npos ? itemsString_.size() : semicolon;
    if (itemsString_.compare(start, end - start, code) == 0) {
      itemsString_.erase(start, (semicolon == std::string::npos ? end : semicolon + 1) - start);
      return;
    }
    if (semicolon == std::string::npos) return;
    start = semicolon + 1;
  }
}

std::unordered_set<std::string> TBaseItem::StoredCodes(const std::vector<std::string>& codes) {
  std::unordered_set<std::string> stored;
  if (codes.empty()) return stored;
  std::string list;
  for (const std::string& code : codes)
    list += (list.empty() ? "'" : ",'") + QuoteDoubled(code) + "'";
  TDataSet* rows = Operator()->OpenQuery(
      FormatText("Select ItemCode From TJItem Where ItemCode In (%s)", {list}));
  if (rows->IsEmpty()) return stored;
  for (rows->First(); !rows->Eof(); rows->Next()) stored.insert(rows->Fields(0).AsString());
  return stored;
}
