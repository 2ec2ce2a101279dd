#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "TBaseItemList.h"
#include "TCatalogueObject.h"
#include "TDateTime.h"

class TBaseItem;

/// Category types (CateType).
enum TCategoryType : int32_t {
  ctExamination = 0,  ///< "检查科"
  ctLaboratory = 1,   ///< "检验科"
  ctFunctional = 2,   ///< "功能科"
};

/// The column values of a TJCategories row: what a window copies into a
/// category and gets back when a save is refused.
struct TCategoryFields {
  /// Key; empty (Null) while the category is not stored.
  std::optional<int32_t> CateID;
  std::string CateCode;
  std::string CateName;
  std::string CateInfo;
  int32_t CateType = ctExamination;
  int32_t DispOrder = 0;
  bool IsDispInRep = false;
  bool IsInUse = false;
  std::string ModifiedBy;
  TDateTime ModifiedDate;
  std::string Remark;
};

/// One row of TJCategories (a department of the examination) and, in memory,
/// the catalogue items that belong to it (not owned: the catalogue owns them).
class TCategory : public TCatalogueObject, public TCategoryFields {
 public:
  TCategory();
  explicit TCategory(TBaseDBConnPool* pool);
  TESMIRA_DBOBJECT_FACTORIES(TCategory)

  void InitObject() override;
  /// The base copy; from a TCategory also its eleven column values (not Items).
  void Assign(TBaseDBObject* source) override;
  /// Loads the row by CateID, else CateCode, else CateName (the first one set);
  /// ETJItemException "查询条件不正确" when none is set. 0 found, -1 not.
  int32_t Find() override;
  /// Draws CateID and CateCode, validates and inserts the row. When
  /// validation or the insert fails, both are put back: the category stays
  /// new and a later Save inserts it.
  int32_t Insert() override;
  /// Validates and rewrites the row addressed by CateID. Its items carry the
  /// category's name too: they get the (new) name in the same transaction,
  /// and so do the catalogue's entries in memory once it is committed.
  int32_t Update() override;
  /// Deletes the row unless a stored item still names the category (asked
  /// of the database, whose trigger also refuses it): EWriteRefused
  /// "类别[<name>]已被引用，不能删除！". Any other failure keeps its own kind
  /// and text.
  int32_t Delete() override;
  int32_t LoadFromDataSet(TDataSet* dataSet) override;
  /// Appends one TCategory (shared pool) per matching row, in the object's
  /// order; the list is not cleared. maxCount -1: all rows.
  int32_t LoadList(const std::string& where, TDBObjectList& list, int32_t maxCount) override;

  // What the history and a restore read and write (TCatalogueObject).
  TColumnValues ColumnValues() const override;
  bool SetColumnValue(const std::string& column, const std::string& value) override;
  std::string EntryCode() const override { return CateCode; }
  std::string EntryName() const override { return CateName; }
  std::string EntryKind() const override { return "类别"; }
  std::string KeyCondition() const override;

  /// ETJItemException "类别编号不能为空！" / "类别名称不能为空！", then a text
  /// longer than its column (ColumnWidths::RequireWidth).
  void Validate();
  /// CateID of the first category named `name`, 0 when there is none.
  int32_t GetCateIDByName(const std::string& name);
  /// True when another category (any one, for a new category) has the name,
  /// as the database compares names.
  bool NameUsedByOther(const std::string& name);

  /// Appends `item` unless it is already listed.
  void AddItem(TBaseItem* item);
  /// The item at a 0-based index; ETJItemException "取项目信息数组越界!" outside.
  TBaseItem* GetItem(int index);
  const TBaseItemList& Items() const { return items_; }
  void ClearItems() { items_.Clear(); }

 protected:
  bool IsNew() const override;
  /// The add right for a new category and a name no other category has.
  const TWriteRules& WriteRules() const override;
  void AfterCommit(TWriteAction action) override;
  void Discarded(TWriteAction action) override;

 private:
  /// Refuses the delete while a stored item names the category, naming
  /// the items.
  void RefuseDeleteWhileUsed();
  /// One line per window field `typed` holds differently from `stored`.
  static std::string UnsavedFields(const TCategoryFields& typed, const TCategoryFields& stored);
  /// Reads the row again: EEntryDeleted when it is gone, EEntryChanged
  /// (naming who changed it and when, as the row says; the object then holds
  /// the row as it is now) when it differs from what was read or written
  /// here last. The stored name when it is unchanged.
  std::string RefuseIfChangedElsewhere(TWriteAction action);

  TBaseItemList items_;
  std::string codeBeforeInsert_;
  uint64_t loadedStamp_ = 0;  // of the values last read from or written to the row
};
