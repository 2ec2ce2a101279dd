#pragma once

#include <cstdint>
#include <string>

#include "TCatalogueObject.h"

/// The column values of a TJSampleGroup row.
struct TSampleGroupFields {
  int32_t GroupID = 0;
  int32_t SampleTypeID = 0;
  std::string GroupName;
};

/// One row of TJSampleGroup: a tube type of one sample type. GroupID is
/// assigned by the database when the group is inserted.
class TSampleGroup : public TCatalogueObject, public TSampleGroupFields {
 public:
  TSampleGroup();
  explicit TSampleGroup(TBaseDBConnPool* pool);
  TESMIRA_DBOBJECT_FACTORIES(TSampleGroup)

  void InitObject() override;
  /// Deletes the row by GroupID; refused (EWriteRefused, naming them) while
  /// stored items name the tube.
  int32_t Delete() override;
  /// Loads the first row of the object's where condition (SetWhere); 0 found,
  /// -1 not. Failures get "查找信息出现错误" put in front of their message.
  int32_t Find() override;
  /// Inserts the group and reads the identity the database gave it into
  /// GroupID.
  int32_t Insert() override;
  int32_t LoadFromDataSet(TDataSet* dataSet) override;
  /// Clears `list`, then appends one TSampleGroup (shared pool) per row of
  /// `where` (the object's own Where when empty). Any failure raises
  /// ETJSampleGroupException "加载数据错误" with the cause's message in
  /// ExtraText.
  int32_t LoadList(const std::string& where, TDBObjectList& list, int32_t maxCount) override;
  /// LoadList of the groups (tubes) of the sample type numbered
  /// `sampleTypeID`.
  int32_t LoadListOfSampleType(int32_t sampleTypeID, TDBObjectList& list);
  /// Rewrites the row addressed by GroupID.
  int32_t Update() override;

  // What the history and a restore read and write (TCatalogueObject). A
  // tube has no code of its own: the history names it by GroupID.
  TColumnValues ColumnValues() const override;
  bool SetColumnValue(const std::string& column, const std::string& value) override;
  std::string EntryCode() const override { return std::to_string(GroupID); }
  std::string EntryName() const override { return GroupName; }
  std::string EntryKind() const override { return "试管"; }
  std::string KeyCondition() const override;

 protected:
  bool IsNew() const override { return GroupID == 0; }
  /// The row as it was read (EEntryChanged / EEntryDeleted).
  const TWriteRules& WriteRules() const override;
  void AfterCommit(TWriteAction action) override;
  void Discarded(TWriteAction action) override {
    if (action == TWriteAction::Insert) GroupID = 0;
  }

 private:
  void RefuseIfChangedElsewhere(TWriteAction action);

  uint64_t loadedStamp_ = 0;  // of the values last read from or written to the row
};
