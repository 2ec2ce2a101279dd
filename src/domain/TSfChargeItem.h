#pragma once

#include <cstdint>
#include <string>

#include "TDBObject.h"

/// One row of sfChargeItem: a billable position. The screens only read the
/// list (its names fill the charge type drop-down); insert, update and
/// delete are offered for other callers.
class TSfChargeItem : public TDBObject {
 public:
  /// Constructor without a pool; DeptCode "01" and ApplyEnvironment 1.
  TSfChargeItem();
  /// Constructor with a pool; every text empty, every number 0.
  explicit TSfChargeItem(TBaseDBConnPool* pool);
  TESMIRA_DBOBJECT_FACTORIES(TSfChargeItem)

  int32_t ApplyEnvironment = 0;
  std::string DeptCode;
  std::string DeptName;
  std::string InvoiceType;
  std::string ItemCode;
  std::string ItemName;
  std::string ItemUnit;
  std::string NationGeneralCode;
  std::string Note;
  int32_t SortID = 0;
  /// The code the row had when last loaded or saved: updates address the row
  /// by it, so ItemCode itself can change. Only a successful statement
  /// changes it.
  std::string OldItemCode;
  double UnitPrice = 0.0;

  void InitObject() override;
  void CloseDataSet() override;
  /// The base copy; from a TSfChargeItem also every value, OldItemCode included.
  void Assign(TBaseDBObject* source) override;
  /// Deletes the row by ItemCode ("删除收费项目信息出现异常!\r\n" in front of failures).
  int32_t Delete() override;
  /// Inserts the row ("保存收费项目出现错误!\r\n" in front of failures).
  int32_t Insert() override;
  /// "装载收费项目数据出错!\r\n" in front of failures; -1 when there is no row.
  int32_t LoadFromDataSet(TDataSet* dataSet) override;
  /// Clears `list`, then appends one TSfChargeItem (shared pool) per row of
  /// `where`, ordered by ItemCode.
  int32_t LoadList(const std::string& where, TDBObjectList& list, int32_t maxCount) override;
  /// Rewrites the row whose code is OldItemCode ("更新收费项目信息出现错误!\r\n"
  /// in front of failures).
  int32_t Update() override;
};
