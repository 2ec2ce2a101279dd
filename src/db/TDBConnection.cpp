#include "TDBConnection.h"

#include "TConnectionString.h"
#include "TDBSession.h"
#include "TDBStatement.h"

TDBConnection::TDBConnection() : session_(std::make_unique<TDBSession>()) {}
TDBConnection::~TDBConnection() = default;

void TDBConnection::SetConnectionInfo(const std::string& dbName, const std::string& dbUser,
                                      const std::string& password, const std::string& schema) {
  dbName_ = dbName;
  dbUser_ = dbUser;
  password_ = password;
  schema_ = schema;
  connectionString_ = TConnectionString::OleDb(password_, dbUser_, dbName_, schema_);
}

int32_t TDBConnection::Connect() {
  SetConnectionInfo(dbName_, dbUser_, password_, schema_);
  session_->Open(platform_, dbName_, dbUser_, password_, schema_);
  return 0;
}

int32_t TDBConnection::Disconnect() {
  session_->Close();
  return 0;
}

IDBStatement* TDBConnection::CreateStatement() {
  return new TDBStatement(this);
}

int32_t TDBConnection::GetDataSetCount() {
  return statements_.load();
}

bool TDBConnection::GetInTransaction() {
  return session_->InTransaction();
}

void TDBConnection::BeginTrans() {
  session_->Begin();
}

int32_t TDBConnection::CommitTrans() {
  session_->Commit();
  return 0;
}

int32_t TDBConnection::RollbackTrans() {
  session_->Rollback();
  return 0;
}

std::string TDBConnection::DbmsName() const {
  return session_->DbmsName();
}

std::string TDBConnection::OdbcConnectionString() const {
  return session_->OdbcConnectionString();
}
