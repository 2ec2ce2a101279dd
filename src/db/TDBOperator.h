#pragma once

#include "IDBConnection.h"
#include "IDBOperator.h"
#include "IDBStatement.h"
#include "TComPtr.h"
#include "TInterfacedObject.h"

class TInsertRows;

/// The database operator: bound by BindToThread to the pooled connection of
/// a thread, it keeps one statement there and forwards the statement's and
/// the connection's operations. Every operator of one thread shares that
/// connection, and so its transaction. Releasing the operator releases its
/// statement; the connection stays lent to the thread.
///
/// Forwarding operations called before BindToThread raise EDBException
/// "The database operator is not bound to a connection".
class TDBOperator : public TInterfacedObject, public IDBOperator {
 public:
  TESMIRA_IMPLEMENT_IINTERFACE

  TDBOperator() = default;
  ~TDBOperator() override = default;

  int32_t Reserved1(int32_t a, int32_t b, bool c) override;
  int32_t Reserved2() override;
  void Reserved3(int32_t a, const std::string& b, bool c) override;
  void ClearSQLs() override;
  void CloseQuery() override;
  int32_t CommitTrans() override;
  int32_t Connect() override;
  /// A further, independent statement on the connection (count 0 until the
  /// first TComPtr takes it).
  IDBStatement* CreateStatement() override;
  int32_t Disconnect() override;
  void ExecSQL(const std::string& sql) override;
  void ExecSQLGetID(const std::string& sql, int32_t& id) override;
  bool ExecSQLs(bool useTransaction) override;
  TDataSet* OpenQuery(const std::string& sql) override;
  /// Takes the library's own pool (made if missing, not initialised), the
  /// connection it lends to `threadId` and a new statement on it; a second
  /// call replaces both. Errors of the pool propagate.
  void BindToThread(int32_t threadId) override;
  TDataSet* GetDataSet() override;
  int32_t GetDataSetCount() override;
  std::string GetDBName() override;
  std::string GetDBUser() override;
  bool GetInTransaction() override;
  int32_t GetThreadID() override;
  std::string GetPassword() override;
  std::string GetSchema() override;
  std::string Reserved4() override { return {}; }
  int32_t RollbackTrans() override;
  void AddParamStream(std::istream& stream) override;
  void SetConnectionInfo(const std::string& dbName, const std::string& dbUser,
                         const std::string& password, const std::string& schema) override;
  void SetTag(int32_t tag) override;
  void SetDBName(const std::string& v) override;
  void SetDBUser(const std::string& v) override;
  void SetThreadID(int32_t v) override;
  void SetPassword(const std::string& v) override;
  void SetSchema(const std::string& v) override;
  void AddSQL(const std::string& sql) override;
  void BeginTrans() override;

  /// Inserts `rows` as one statement through `op`: bound values on a
  /// statement of this library, the literal statement on any other.
  static void InsertRows(IDBOperator* op, const TInsertRows& rows);
  /// The database system behind `op` as its driver names it ("SQLite",
  /// "PostgreSQL", "Microsoft SQL Server"); empty for an operator of
  /// another library or one not connected yet.
  static std::string DbmsNameOf(IDBOperator* op);

  IDBConnection* Connection() const { return connection_.get(); }
  IDBStatement* Statement() const { return statement_.get(); }

 private:
  IDBConnection& Conn() const;
  IDBStatement& Stmt() const;

  TComPtr<IDBConnection> connection_;
  TComPtr<IDBStatement> statement_;
};
