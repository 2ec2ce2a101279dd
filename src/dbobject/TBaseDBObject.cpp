#include "TBaseDBObject.h"

#include "Exceptions.h"
#include "Format.h"
#include "SiblingLibrary.h"
#include "TBaseDBConnPool.h"
#include "TDataSet.h"
#include "TSingleComm.h"
#include "ThreadId.h"

namespace {

const char* const kIdentitySQL = "SELECT @@IDENTITY AS IdentityID";
const char* const kBindingFailure = "连接数据库失败\r\n";
// The identifier every interface answers to ({00000000-0000-0000-C000-000000000046}).
constexpr TGUID kIID_IInterface = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Without a pool, operators come from the sibling library when it is bound.
// When it is absent (no DB.so beside the library, or no CreateDBOperator
// export) the shared pool supplies them, so such objects still work.
IDBOperator* OperatorFromDefaultSource() {
  if (TCreateDBOperatorFunc create = SiblingLibrary::CreateDBOperatorEntry()) return create();
  return TSingleComm::Instance().GetConnPool()->CreateDBOperator();
}

}  // namespace

TBaseDBObject::TBaseDBObject() : TBaseDBObject(nullptr) {}

TBaseDBObject::TBaseDBObject(TBaseDBConnPool* pool) {
  // The owner's hold: interface references count on top of it, so releasing
  // them can never free an object that its owner frees explicitly.
  DoAddRef();
  InitObject();
  AttachOperator(pool, CurrentThreadId());
}

TBaseDBObject::TBaseDBObject(TBindOnFirstUse) : bindThread_(CurrentThreadId()) {
  DoAddRef();
  InitObject();
}

IDBOperator* TBaseDBObject::BindNow() const {
  // Only the operator is made here; what the object holds stays as it is.
  const_cast<TBaseDBObject*>(this)->AttachOperator(TSingleComm::Instance().GetConnPool(),
                                                   bindThread_);
  return operator_.get();
}

TBaseDBObject::~TBaseDBObject() {
  CloseDataSet();
}

void TBaseDBObject::AttachOperator(TBaseDBConnPool* pool, int32_t threadId) {
  // A new operator carries no count; this object's reference is its first.
  operator_ = TComPtr<IDBOperator>(pool ? pool->CreateDBOperator() : OperatorFromDefaultSource());
  try {
    if (!operator_) throw EDBException("No database operator available");
    operator_->BindToThread(threadId);
  } catch (const EBaseException& e) {
    throw EDBException(std::string(), 0, e.ErrorCode, kBindingFailure + e.Message());
  } catch (const std::exception& e) {
    throw EDBException(std::string(), 0, 0, kBindingFailure + std::string(e.what()));
  }
}

void TBaseDBObject::CloseDataSet() {
  if (dataSet_) {
    dataSet_->Close();
    dataSet_ = nullptr;
  }
}

TDataSet* TBaseDBObject::GetDataSet() {
  return dataSet_;
}

void TBaseDBObject::InitObject() {
  // Every object starts on one block of empty texts and the identity query.
  static const TSharedTexts kDefaults = MakeQueryTexts({}, {}, {}, {});
  if (!texts_) texts_ = kDefaults;
  SetQueryText(&TQueryTexts::identitySQL, kIdentitySQL);
  dataSet_ = nullptr;
}

TBaseDBObject::TSharedTexts TBaseDBObject::MakeQueryTexts(const std::string& table,
                                                          const std::string& where,
                                                          const std::string& fieldList,
                                                          const std::string& orderBy) {
  return std::make_shared<const TQueryTexts>(
      TQueryTexts{kIdentitySQL, table, where, fieldList, orderBy});
}

void TBaseDBObject::SetQueryText(std::string TQueryTexts::*text, const std::string& value) {
  if ((*texts_).*text == value) return;  // a shared block stays shared
  auto copy = std::make_shared<TQueryTexts>(*texts_);
  (*copy).*text = value;
  texts_ = std::move(copy);
}

void TBaseDBObject::SetDataSet(TDataSet* dataSet) {
  dataSet_ = dataSet;
}

TBaseDBObject* TBaseDBObject::Create() const {
  return new TBaseDBObject();
}

TBaseDBObject* TBaseDBObject::Create(TBaseDBConnPool* pool) const {
  return new TBaseDBObject(pool);
}

void TBaseDBObject::Assign(TBaseDBObject* source) {
  if (!source) return;
  SetOrderBy(source->GetOrderBy());
  SetFieldList(source->GetFieldList());
  SetTableName(source->GetTableName());
  SetWhere(source->GetWhere());
  lastError_ = source->GetLastError();
}

int32_t TBaseDBObject::UpdateFields(const std::string& setClause, const std::string& whereClause) {
  if (GetTableName().empty()) {
    lastError_ = "No table defined.";
    return -2;
  }
  Operator()->ExecSQL(
      FormatSql("UPDATE %s SET %s WHERE %s", {GetTableName(), setClause, whereClause}));
  return 0;
}

int32_t TBaseDBObject::Delete() {
  return -1;
}

int32_t TBaseDBObject::Find() {
  return -1;
}

int32_t TBaseDBObject::Open() {
  const std::string sql =
      GetWhere().empty() ? FormatSql("SELECT %s FROM %s ORDER BY %s",
                                     {GetFieldList(), GetTableName(), GetOrderBy()})
                         : FormatSql("SELECT %s FROM %s WHERE %s ORDER BY %s",
                                     {GetFieldList(), GetTableName(), GetWhere(), GetOrderBy()});
  OpenAsDataSet(sql);
  return 0;
}

int32_t TBaseDBObject::OpenSQL(const std::string& sql) {
  OpenAsDataSet(sql);
  return 0;
}

void TBaseDBObject::OpenAsDataSet(const std::string& sql) {
  try {
    dataSet_ = Operator()->OpenQuery(sql);
  } catch (const std::exception& e) {
    lastError_ = e.what();
    throw;
  }
}

std::string TBaseDBObject::GetLastError() {
  return lastError_;
}
std::string TBaseDBObject::GetIdentitySQL() {
  return texts_->identitySQL;
}
std::string TBaseDBObject::GetOrderBy() {
  return texts_->orderBy;
}
std::string TBaseDBObject::GetFieldList() {
  return texts_->fieldList;
}
std::string TBaseDBObject::GetTableName() {
  return texts_->table;
}
std::string TBaseDBObject::GetWhere() {
  return texts_->where;
}

int32_t TBaseDBObject::Insert() {
  return -1;
}

int32_t TBaseDBObject::LoadFromDataSet(TDataSet*) {
  return -1;
}

int32_t TBaseDBObject::LoadList(const std::string&, TDBObjectList&, int32_t) {
  return 0;
}

void TBaseDBObject::SetIdentitySQL(const std::string& value) {
  SetQueryText(&TQueryTexts::identitySQL, value);
}
void TBaseDBObject::SetOrderBy(const std::string& value) {
  SetQueryText(&TQueryTexts::orderBy, value);
}
void TBaseDBObject::SetFieldList(const std::string& value) {
  SetQueryText(&TQueryTexts::fieldList, value);
}
void TBaseDBObject::SetTableName(const std::string& value) {
  SetQueryText(&TQueryTexts::table, value);
}
void TBaseDBObject::SetWhere(const std::string& value) {
  SetQueryText(&TQueryTexts::where, value);
}

int32_t TBaseDBObject::Update() {
  return -1;
}

long TBaseDBObject::QueryInterface(const TGUID& iid, void** object) {
  if (!object) return E_NOINTERFACE_RESULT;
  if (iid == IID_IBaseDBObject || iid == kIID_IInterface) {
    *object = static_cast<IBaseDBObject*>(this);
    AddRef();
    return S_OK_RESULT;
  }
  *object = nullptr;
  return E_NOINTERFACE_RESULT;
}

long TBaseDBObject::AddRef() {
  return DoAddRef() - 1;
}

long TBaseDBObject::Release() {
  // The owner's hold (1) is never given up through the interface.
  if (RefCount() <= 1) return 0;
  return DoRelease() - 1;
}
