#pragma once

#include <cstdint>
#include <string>

#include "IInterface.h"

class TDataSet;

/// Identifier of IBaseDBObject: {18F27F60-F24E-4F00-947C-987CAF7633F5}.
inline constexpr TGUID IID_IBaseDBObject = {
    0x18F27F60, 0xF24E, 0x4F00, {0x94, 0x7C, 0x98, 0x7C, 0xAF, 0x76, 0x33, 0xF5}};

/// The persistent object seen through its interface. Called by position: the
/// order of the 22 operations below is fixed. Each forwards to the object's
/// virtual operation of the same name, except `Reserved`, which answers 0.
class IBaseDBObject : public IInterface {
 public:
  virtual int32_t UpdateFields(const std::string& setClause,
                               const std::string& whereClause) = 0;  // 1
  virtual void CloseDataSet() = 0;                                   // 2
  virtual int32_t Delete() = 0;                                      // 3
  virtual int32_t Find() = 0;                                        // 4
  virtual int32_t Open() = 0;                                        // 5
  virtual TDataSet* GetDataSet() = 0;                                // 6
  virtual std::string GetLastError() = 0;                            // 7
  virtual std::string GetOrderBy() = 0;                              // 8
  virtual std::string GetFieldList() = 0;                            // 9
  virtual std::string GetTableName() = 0;                            // 10
  virtual std::string GetWhere() = 0;                                // 11
  virtual void InitObject() = 0;                                     // 12
  virtual int32_t Insert() = 0;                                      // 13
  virtual int32_t LoadFromDataSet(TDataSet* dataSet) = 0;            // 14
  virtual int32_t Reserved() = 0;                                    // 15
  virtual void SetDataSet(TDataSet* dataSet) = 0;                    // 16
  virtual void SetOrderBy(const std::string& value) = 0;             // 17
  virtual void SetFieldList(const std::string& value) = 0;           // 18
  virtual void SetTableName(const std::string& value) = 0;           // 19
  virtual void SetWhere(const std::string& value) = 0;               // 20
  virtual int32_t OpenSQL(const std::string& sql) = 0;               // 21
  virtual int32_t Update() = 0;                                      // 22

 protected:
  ~IBaseDBObject() = default;
};
