#include "TDBOperator.h"

#include "Exceptions.h"
#include "TDBConnPool.h"
#include "TDBConnection.h"
#include "TDBStatement.h"
#include "TInsertRows.h"

namespace {
[[noreturn]] void NotBound() {
  throw EDBException("数据库操作对象还没有绑定数据库连接");
}
}  // namespace

void TDBOperator::InsertRows(IDBOperator* op, const TInsertRows& rows) {
  auto* own = dynamic_cast<TDBOperator*>(op);
  auto* statement = own ? dynamic_cast<TDBStatement*>(&own->Stmt()) : nullptr;
  if (statement)
    statement->InsertRows(rows);
  else
    op->ExecSQL(rows.AsSql());
}

std::string TDBOperator::DbmsNameOf(IDBOperator* op) {
  auto* own = dynamic_cast<TDBOperator*>(op);
  auto* connection = own ? dynamic_cast<TDBConnection*>(own->Connection()) : nullptr;
  if (!connection) return {};
  try {
    return connection->DbmsName();
  } catch (const std::exception&) {
    return {};  // not open yet: the caller asks without knowing
  }
}

IDBConnection& TDBOperator::Conn() const {
  if (!connection_) NotBound();
  return *connection_;
}

IDBStatement& TDBOperator::Stmt() const {
  if (!statement_) NotBound();
  return *statement_;
}

void TDBOperator::BindToThread(int32_t threadId) {
  TDBConnPool* pool = TDBConnPool::AccessInstance(1);
  TComPtr<IDBConnection> connection = pool->GetConnection(threadId);
  TComPtr<IDBStatement> statement = connection->CreateStatement();
  connection_ = connection;
  statement_ = statement;
}

int32_t TDBOperator::Reserved1(int32_t a, int32_t b, bool c) {
  return Stmt().Reserved1(a, b, c);
}
int32_t TDBOperator::Reserved2() {
  return Stmt().Reserved2();
}
void TDBOperator::Reserved3(int32_t a, const std::string& b, bool c) {
  Stmt().Reserved3(a, b, c);
}
void TDBOperator::ClearSQLs() {
  Stmt().ClearSQLs();
}
void TDBOperator::CloseQuery() {
  Stmt().CloseQuery();
}
int32_t TDBOperator::CommitTrans() {
  return Conn().CommitTrans();
}
int32_t TDBOperator::Connect() {
  return Conn().Connect();
}
IDBStatement* TDBOperator::CreateStatement() {
  return Conn().CreateStatement();
}
int32_t TDBOperator::Disconnect() {
  return Conn().Disconnect();
}
void TDBOperator::ExecSQL(const std::string& sql) {
  Stmt().ExecSQL(sql);
}
void TDBOperator::ExecSQLGetID(const std::string& sql, int32_t& id) {
  Stmt().ExecSQLGetID(sql, id);
}
bool TDBOperator::ExecSQLs(bool useTransaction) {
  return Stmt().ExecSQLs(useTransaction);
}
TDataSet* TDBOperator::OpenQuery(const std::string& sql) {
  return Stmt().OpenQuery(sql);
}
TDataSet* TDBOperator::GetDataSet() {
  return Stmt().GetDataSet();
}
int32_t TDBOperator::GetDataSetCount() {
  return Conn().GetDataSetCount();
}
std::string TDBOperator::GetDBName() {
  return Conn().GetDBName();
}
std::string TDBOperator::GetDBUser() {
  return Conn().GetDBUser();
}
bool TDBOperator::GetInTransaction() {
  return Conn().GetInTransaction();
}
int32_t TDBOperator::GetThreadID() {
  return Conn().GetThreadID();
}
std::string TDBOperator::GetPassword() {
  return Conn().GetPassword();
}
std::string TDBOperator::GetSchema() {
  return Conn().GetSchema();
}
int32_t TDBOperator::RollbackTrans() {
  return Conn().RollbackTrans();
}
void TDBOperator::AddParamStream(std::istream& stream) {
  Stmt().AddParamStream(stream);
}
void TDBOperator::SetConnectionInfo(const std::string& dbName, const std::string& dbUser,
                                    const std::string& password, const std::string& schema) {
  Conn().SetConnectionInfo(dbName, dbUser, password, schema);
}
void TDBOperator::SetTag(int32_t tag) {
  Stmt().SetTag(tag);
}
void TDBOperator::SetDBName(const std::string& v) {
  Conn().SetDBName(v);
}
void TDBOperator::SetDBUser(const std::string& v) {
  Conn().SetDBUser(v);
}
void TDBOperator::SetThreadID(int32_t v) {
  Conn().SetThreadID(v);
}
void TDBOperator::SetPassword(const std::string& v) {
  Conn().SetPassword(v);
}
void TDBOperator::SetSchema(const std::string& v) {
  Conn().SetSchema(v);
}
void TDBOperator::AddSQL(const std::string& sql) {
  Stmt().AddSQL(sql);
}
void TDBOperator::BeginTrans() {
  Conn().BeginTrans();
}
