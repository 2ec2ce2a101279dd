#pragma once

#include <cstdint>
#include <string>

#include "TInterfacedObject.h"

class IDBConnection;
class IDBOperator;

namespace pugi {
class xml_node;
}

/// The connection pool contract. Pools cross the plug-in boundary as objects
/// of this class (a host may lend one to InitDLL) and are called by position:
/// the order of the operations below is part of the contract. The first
/// position is the constructor's slot in the original object model; it is
/// kept as a reserved operation so that every later position stays in place.
class TBaseDBConnPool : public TInterfacedObject {
 public:
  virtual void ReservedCreate() {}                                        // 1
  /// A new operator, not yet bound. Its count is 0: the first TComPtr that
  /// takes it holds it (`TComPtr<IDBOperator> op = pool->CreateDBOperator();`).
  virtual IDBOperator* CreateDBOperator() = 0;                            // 2
  /// Opens one more connection and adds it to the pool (no lock, no bound).
  virtual IDBConnection* NewConnection() = 0;                             // 3
  /// The connection lent to that thread, lending one if needed.
  virtual IDBConnection* GetConnection(int32_t threadId) = 0;             // 4
  virtual int32_t GetConnectionCount() = 0;                               // 5
  /// The process-wide pool of the library, made on first call.
  virtual TBaseDBConnPool* GetDBConnPool() = 0;                           // 6
  virtual std::string GetDBName() = 0;                                    // 7
  virtual std::string GetDBUser() = 0;                                    // 8
  virtual int32_t GetMaxDBPoolSize() = 0;                                 // 9
  virtual int32_t GetMinDBPoolSize() = 0;                                 // 10
  virtual std::string GetPassword() = 0;                                  // 11
  virtual std::string GetSchema() = 0;                                    // 12
  /// Reads the settings from the element, or from cfg/cfg.config when null.
  virtual void LoadConfig(const pugi::xml_node* node) = 0;                // 13
  virtual void Init() = 0;                                                // 14
  virtual void InitWithSettings(const std::string& dbName, const std::string& dbUser,
                                const std::string& password, const std::string& schema,
                                int32_t minSize, int32_t maxSize) = 0;    // 15
  virtual void ReleaseConnection(IDBConnection* connection) = 0;          // 16
  /// Destroys the process-wide pool, if any.
  virtual void ReleaseInstance() = 0;                                     // 17
  virtual void SetDBName(const std::string& v) = 0;                       // 18
  virtual void SetDBUser(const std::string& v) = 0;                       // 19
  virtual void SetMaxDBPoolSize(int32_t v) = 0;                           // 20
  virtual void SetMinDBPoolSize(int32_t v) = 0;                           // 21
  virtual void SetPassword(const std::string& v) = 0;                     // 22
  virtual void SetSchema(const std::string& v) = 0;                       // 23
  virtual void CloseConnections() = 0;                                    // 24
};
