#pragma once

#include <cstdint>
#include <istream>
#include <string>

#include "IInterface.h"

class IDBStatement;
class TDataSet;

/// The database operator every persistent object holds: bound to the pooled
/// connection of one thread, it keeps one statement there and offers the
/// statement's and the connection's operations. Shared with the host and the
/// sibling library and called by position: the order is the contract.
class IDBOperator : public IInterface {
 public:
  virtual int32_t Reserved1(int32_t a, int32_t b, bool c) = 0;           // 1
  virtual int32_t Reserved2() = 0;                                       // 2
  virtual void Reserved3(int32_t a, const std::string& b, bool c) = 0;   // 3
  virtual void ClearSQLs() = 0;                                          // 4
  virtual void CloseQuery() = 0;                                         // 5
  virtual int32_t CommitTrans() = 0;                                     // 6
  virtual int32_t Connect() = 0;                                         // 7
  virtual IDBStatement* CreateStatement() = 0;                           // 8
  virtual int32_t Disconnect() = 0;                                      // 9
  virtual void ExecSQL(const std::string& sql) = 0;                      // 10
  virtual void ExecSQLGetID(const std::string& sql, int32_t& id) = 0;    // 11
  virtual bool ExecSQLs(bool useTransaction) = 0;                        // 12
  virtual TDataSet* OpenQuery(const std::string& sql) = 0;               // 13
  virtual void BindToThread(int32_t threadId) = 0;                       // 14
  virtual TDataSet* GetDataSet() = 0;                                    // 15
  virtual int32_t GetDataSetCount() = 0;                                 // 16
  virtual std::string GetDBName() = 0;                                   // 17
  virtual std::string GetDBUser() = 0;                                   // 18
  virtual bool GetInTransaction() = 0;                                   // 19
  virtual int32_t GetThreadID() = 0;                                     // 20
  virtual std::string GetPassword() = 0;                                 // 21
  virtual std::string GetSchema() = 0;                                   // 22
  virtual std::string Reserved4() = 0;                                   // 23
  virtual int32_t RollbackTrans() = 0;                                   // 24
  virtual void AddParamStream(std::istream& stream) = 0;                 // 25
  virtual void SetConnectionInfo(const std::string& dbName, const std::string& dbUser,
                                 const std::string& password,
                                 const std::string& schema) = 0;         // 26
  virtual void SetTag(int32_t tag) = 0;                                  // 27
  virtual void SetDBName(const std::string& v) = 0;                      // 28
  virtual void SetDBUser(const std::string& v) = 0;                      // 29
  virtual void SetThreadID(int32_t v) = 0;                               // 30
  virtual void SetPassword(const std::string& v) = 0;                    // 31
  virtual void SetSchema(const std::string& v) = 0;                      // 32
  virtual void AddSQL(const std::string& sql) = 0;                       // 33
  virtual void BeginTrans() = 0;                                         // 34

 protected:
  ~IDBOperator() = default;
};
