#pragma once

#include "IDBConnection.h"
#include "TInterfacedObject.h"

/// The do-nothing connection: every operation returns 0, false, empty text
/// or null. It exists as the base of TDBConnection.
class TBaseDBConnection : public TInterfacedObject, public IDBConnection {
 public:
  TESMIRA_IMPLEMENT_IINTERFACE

  int32_t CommitTrans() override { return 0; }
  int32_t Connect() override { return 0; }
  IDBStatement* CreateStatement() override { return nullptr; }
  int32_t Disconnect() override { return 0; }
  int32_t GetDataSetCount() override { return 0; }
  std::string GetDBName() override { return {}; }
  std::string GetDBUser() override { return {}; }
  bool GetInTransaction() override { return false; }
  int32_t GetThreadID() override { return 0; }
  std::string GetPassword() override { return {}; }
  std::string GetSchema() override { return {}; }
  int32_t RollbackTrans() override { return 0; }
  void SetConnectionInfo(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {}
  void SetDBName(const std::string&) override {}
  void SetDBUser(const std::string&) override {}
  void SetThreadID(int32_t) override {}
  void SetPassword(const std::string&) override {}
  void SetSchema(const std::string&) override {}
  void BeginTrans() override {}
};
