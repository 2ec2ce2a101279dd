#pragma once

#include <cstdint>
#include <string>

#include "IInterface.h"

class IDBStatement;

/// One pooled database connection. Called by position; the order is fixed.
class IDBConnection : public IInterface {
 public:
  virtual int32_t CommitTrans() = 0;
  virtual int32_t Connect() = 0;
  /// A new statement on this connection. Its count is 0: the first TComPtr
  /// that takes it holds it.
  virtual IDBStatement* CreateStatement() = 0;
  virtual int32_t Disconnect() = 0;
  virtual int32_t GetDataSetCount() = 0;
  virtual std::string GetDBName() = 0;
  virtual std::string GetDBUser() = 0;
  virtual bool GetInTransaction() = 0;
  virtual int32_t GetThreadID() = 0;
  virtual std::string GetPassword() = 0;
  virtual std::string GetSchema() = 0;
  virtual int32_t RollbackTrans() = 0;
  virtual void SetConnectionInfo(const std::string& dbName, const std::string& dbUser,
                                 const std::string& password, const std::string& schema) = 0;
  virtual void SetDBName(const std::string& v) = 0;
  virtual void SetDBUser(const std::string& v) = 0;
  virtual void SetThreadID(int32_t v) = 0;
  virtual void SetPassword(const std::string& v) = 0;
  virtual void SetSchema(const std::string& v) = 0;
  virtual void BeginTrans() = 0;

 protected:
  ~IDBConnection() = default;
};
