#pragma once

#include <cstdint>
#include <istream>
#include <string>

#include "IInterface.h"

class TDataSet;

/// A statement on one pooled connection: runs SQL text, opens result sets,
/// reads identities and runs a queued batch with blob parameters. Called by
/// position; the order is fixed.
class IDBStatement : public IInterface {
 public:
  virtual int32_t Reserved1(int32_t a, int32_t b, bool c) = 0;
  virtual int32_t Reserved2() = 0;
  virtual void Reserved3(int32_t a, const std::string& b, bool c) = 0;
  virtual void ClearSQLs() = 0;
  virtual void CloseQuery() = 0;
  virtual void ExecSQL(const std::string& sql) = 0;
  virtual void ExecSQLGetID(const std::string& sql, int32_t& id) = 0;
  virtual bool ExecSQLs(bool useTransaction) = 0;
  virtual TDataSet* OpenQuery(const std::string& sql) = 0;
  virtual TDataSet* GetDataSet() = 0;
  virtual std::string Reserved4() = 0;
  /// Appends a copy of the whole stream (from its beginning) to the last
  /// queued entry as its next blob parameter.
  virtual void AddParamStream(std::istream& stream) = 0;
  virtual void SetTag(int32_t tag) = 0;
  virtual void AddSQL(const std::string& sql) = 0;

 protected:
  ~IDBStatement() = default;
};
