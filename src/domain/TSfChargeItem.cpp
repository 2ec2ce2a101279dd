#include "TSfChargeItem.h"

#include <memory>

#include "Format.h"
#include "MessagePrefix.h"
#include "TDBObjectList.h"
#include "TDataSet.h"
#include "TSingleComm.h"

namespace {

const char* const kInsert =
    " Insert Into %s (ItemCode, ItemName, DeptCode, DeptName, Note, NationGeneralCode, ItemUnit, "
    "ApplyEnvironment, unitPrice, InvoiceType, SortID)  Values('%s', '%s', '%s', '%s', '%s', "
    "'%s', '%s', %d, %f, '%s', %d)";

const char* const kUpdate =
    "Update %s  Set ItemCode = '%s', ItemName = '%s', DeptCode = '%s', DeptName = '%s', Note = "
    "'%s', NationGeneralCode = '%s', ItemUnit = '%s', ApplyEnvironment = %d, UnitPrice = %f ,  "
    "InvoiceType = '%s', SortID = %d Where ItemCode = '%s'";

}  // namespace

TSfChargeItem::TSfChargeItem() : TDBObject(), ApplyEnvironment(1), DeptCode("01") {
  InitObject();
}

TSfChargeItem::TSfChargeItem(TBaseDBConnPool* pool) : TDBObject(pool) {
  InitObject();
}

void TSfChargeItem::InitObject() {
  TDBObject::InitObject();
  SetTableName("sfChargeItem");
  SetWhere("1=1");
  SetFieldList("*");
  SetOrderBy("ItemCode");
}

void TSfChargeItem::CloseDataSet() {
  TDBObject::CloseDataSet();
}

void TSfChargeItem::Assign(TBaseDBObject* source) {
  TDBObject::Assign(source);
  auto* item = dynamic_cast<TSfChargeItem*>(source);
  if (!item || item == this) return;
  ApplyEnvironment = item->ApplyEnvironment;
  DeptCode = item->DeptCode;
  DeptName = item->DeptName;
  InvoiceType = item->InvoiceType;
  ItemCode = item->ItemCode;
  ItemName = item->ItemName;
  ItemUnit = item->ItemUnit;
  NationGeneralCode = item->NationGeneralCode;
  Note = item->Note;
  SortID = item->SortID;
  OldItemCode = item->OldItemCode;
  UnitPrice = item->UnitPrice;
}

int32_t TSfChargeItem::Delete() {
  WithMessagePrefix("删除收费项目信息出现异常!\r\n", [&] {
    Operator()->ExecSQL(FormatSql("Delete %s Where ItemCode = '%s'", {GetTableName(), ItemCode}));
  });
  return 0;
}

int32_t TSfChargeItem::Insert() {
  WithMessagePrefix("保存收费项目出现错误!\r\n", [&] {
    Operator()->ExecSQL(FormatSql(
        kInsert, {GetTableName(), ItemCode, ItemName, DeptCode, DeptName, Note, NationGeneralCode,
                  ItemUnit, ApplyEnvironment, UnitPrice, InvoiceType, SortID}));
  });
  OldItemCode = ItemCode;
  return 0;
}

int32_t TSfChargeItem::Update() {
  WithMessagePrefix("更新收费项目信息出现错误!\r\n", [&] {
    Operator()->ExecSQL(FormatSql(
        kUpdate, {GetTableName(), ItemCode, ItemName, DeptCode, DeptName, Note, NationGeneralCode,
                  ItemUnit, ApplyEnvironment, UnitPrice, InvoiceType, SortID, OldItemCode}));
  });
  OldItemCode = ItemCode;
  return 0;
}

int32_t TSfChargeItem::LoadFromDataSet(TDataSet* set) {
  if (!set || set->IsEmpty() || set->Eof()) return -1;
  return WithMessagePrefix("装载收费项目数据出错!\r\n", [&] {
    // Read completely before anything changes, so a failure leaves the
    // object as it was.
    const int32_t applyEnvironment = set->FieldByName("ApplyEnvironment").AsInteger();
    const int32_t sortID = set->FieldByName("SortID").AsInteger();
    const double unitPrice = set->FieldByName("UnitPrice").AsFloat();
    std::string deptCode = set->FieldByName("DeptCode").AsString();
    std::string deptName = set->FieldByName("DeptName").AsString();
    std::string itemCode = set->FieldByName("ItemCode").AsString();
    std::string itemName = set->FieldByName("ItemName").AsString();
    std::string itemUnit = set->FieldByName("ItemUnit").AsString();
    std::string nationGeneralCode = set->FieldByName("NationGeneralCode").AsString();
    std::string note = set->FieldByName("Note").AsString();
    std::string invoiceType = set->FieldByName("InvoiceType").AsString();
    ApplyEnvironment = applyEnvironment;
    SortID = sortID;
    UnitPrice = unitPrice;
    DeptCode = std::move(deptCode);
    DeptName = std::move(deptName);
    ItemCode = itemCode;
    OldItemCode = std::move(itemCode);
    ItemName = std::move(itemName);
    ItemUnit = std::move(itemUnit);
    NationGeneralCode = std::move(nationGeneralCode);
    Note = std::move(note);
    InvoiceType = std::move(invoiceType);
    return 0;
  });
}

int32_t TSfChargeItem::LoadList(const std::string& where, TDBObjectList& list, int32_t maxCount) {
  const std::string sql = FormatSql("Select %s from %s Where %s Order By %s",
                                    {GetFieldList(), GetTableName(), where, GetOrderBy()});
  list.Clear();
  TDataSet* rows = Operator()->OpenQuery(sql);
  TBaseDBConnPool* pool = TSingleComm::Instance().GetConnPool();
  int32_t appended = 0;
  for (rows->First(); !rows->Eof(); rows->Next()) {
    if (maxCount != -1 && appended >= maxCount) break;
    auto item = std::make_unique<TSfChargeItem>(pool);
    item->LoadFromDataSet(rows);
    list.Add(item.release());
    ++appended;
  }
  return 0;
}
