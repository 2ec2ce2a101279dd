#pragma once

#include "IDBConnection.h"
#include "IDBStatement.h"
#include "TComPtr.h"
#include "TInterfacedObject.h"

/// The do-nothing statement: every operation returns 0, empty text or null.
/// Holds the connection it runs on and the Tag (written, read by nothing).
class TBaseDBStatement : public TInterfacedObject, public IDBStatement {
 public:
  TESMIRA_IMPLEMENT_IINTERFACE

  int32_t Reserved1(int32_t, int32_t, bool) override { return 0; }
  int32_t Reserved2() override { return 0; }
  void Reserved3(int32_t, const std::string&, bool) override {}
  void ClearSQLs() override {}
  void CloseQuery() override {}
  void ExecSQL(const std::string&) override {}
  void ExecSQLGetID(const std::string&, int32_t&) override {}
  bool ExecSQLs(bool) override { return false; }
  TDataSet* OpenQuery(const std::string&) override { return nullptr; }
  TDataSet* GetDataSet() override { return nullptr; }
  std::string Reserved4() override { return {}; }
  void AddParamStream(std::istream&) override {}
  void SetTag(int32_t tag) override { tag_ = tag; }
  void AddSQL(const std::string&) override {}

  /// The connection the statement runs on.
  virtual IDBConnection* GetConnectionObject() { return connection_.get(); }
  virtual void SetConnection(IDBConnection* connection) { connection_ = connection; }
  int32_t Tag() const { return tag_; }

 protected:
  TComPtr<IDBConnection> connection_;
  int32_t tag_ = 0;
};
