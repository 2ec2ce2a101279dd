#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "TBaseDBConnection.h"
#include "TDBPlatform.h"

class TDBSession;

/// A pooled connection: the four settings, the composed connection string,
/// the thread it is lent to (-1: free) and the data-access session.
class TDBConnection : public TBaseDBConnection {
 public:
  TDBConnection();
  ~TDBConnection() override;

  int32_t CommitTrans() override;
  /// Applies the four stored values (SetConnectionInfo) and opens the
  /// session without any login prompt; errors propagate. Returns 0.
  int32_t Connect() override;
  /// A new statement on this connection; its count is 0 until the first
  /// TComPtr takes it.
  IDBStatement* CreateStatement() override;
  int32_t Disconnect() override;
  /// Statements created on this connection that still exist.
  int32_t GetDataSetCount() override;
  std::string GetDBName() override { return dbName_; }
  std::string GetDBUser() override { return dbUser_; }
  bool GetInTransaction() override;
  int32_t GetThreadID() override { return threadId_.load(); }
  std::string GetPassword() override { return password_; }
  std::string GetSchema() override { return schema_; }
  int32_t RollbackTrans() override;
  /// Stores the four values and composes the connection string (values
  /// quoted where needed, so `;` or `}` in a password stays in the password).
  void SetConnectionInfo(const std::string& dbName, const std::string& dbUser,
                         const std::string& password, const std::string& schema) override;
  void SetDBName(const std::string& v) override { dbName_ = v; }
  void SetDBUser(const std::string& v) override { dbUser_ = v; }
  void SetThreadID(int32_t v) override { threadId_.store(v); }
  void SetPassword(const std::string& v) override { password_ = v; }
  void SetSchema(const std::string& v) override { schema_ = v; }
  void BeginTrans() override;

  /// Which backend Connect uses (set by the pool before connecting).
  void SetPlatform(const TDBPlatform& platform) { platform_ = platform; }
  const std::string& ConnectionString() const { return connectionString_; }
  /// The ODBC connection string of the open session (empty for SQLite).
  std::string OdbcConnectionString() const;
  /// The database system of the open session (TDBSession::DbmsName).
  std::string DbmsName() const;

  /// Used by the statements of this connection.
  TDBSession& Session() { return *session_; }
  void StatementCreated() { ++statements_; }
  void StatementDestroyed() { --statements_; }

 private:
  std::unique_ptr<TDBSession> session_;
  std::string dbName_, dbUser_, password_, schema_;
  std::string connectionString_;
  std::atomic<int32_t> threadId_{-1};
  std::atomic<int32_t> statements_{0};
  TDBPlatform platform_;
};
