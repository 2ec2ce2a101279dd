#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "TDBObject.h"
#include "TDBObjectList.h"

/// One row of TJSampleType: a kind of specimen (the item screens offer the
/// names in a drop-down). The instance reached through Instance() also holds
/// every sample type, ordered by ID, read once when it was made.
class TSampleType : public TDBObject {
 public:
  /// 0: the instance or null; 1: make it (CreateSingleton) if missing;
  /// 2: forget it (returns null, frees nothing). Other requests raise
  /// Exception "Illegal request %d in AccessInstance".
  static TSampleType* AccessInstance(int request);
  static TSampleType& Instance() { return *AccessInstance(1); }
  /// A sample type on the shared pool whose SampleTypes lists every sample
  /// type. Made directly it is not registered as the instance.
  static TSampleType* CreateSingleton();

  TSampleType();
  explicit TSampleType(TBaseDBConnPool* pool);
  /// Frees SampleTypes; the registered instance forgets itself first.
  ~TSampleType() override;
  TESMIRA_DBOBJECT_FACTORIES(TSampleType)

  /// Row key (read from the table; Insert does not read it back).
  int32_t ID() const { return id_; }
  int32_t SampleTypeID = 0;
  std::string SampleTypeName;
  /// Every sample type (owning), only on objects made by CreateSingleton;
  /// null on the others.
  TDBObjectList* SampleTypes() const { return sampleTypes_.get(); }

  void InitObject() override;
  /// Deletes the row by ID.
  int32_t Delete() override;
  /// Loads the first row named SampleTypeName (0), or -1 when there is none.
  /// Failures get "查找信息出现错误" put in front of their message.
  int32_t Find() override;
  /// Inserts SampleTypeID and SampleTypeName.
  int32_t Insert() override;
  int32_t LoadFromDataSet(TDataSet* dataSet) override;
  /// Clears `list`, then appends one TSampleType (shared pool) per row of
  /// `where` (the object's own Where when empty), ordered by ID.
  int32_t LoadList(const std::string& where, TDBObjectList& list, int32_t maxCount) override;
  /// Rewrites the row addressed by ID.
  int32_t Update() override;

 protected:
  /// A sample type read from the table has its ID; one made by a caller
  /// has none yet, and Save inserts it.
  bool IsNew() const override { return id_ == 0; }

 private:
  int32_t id_ = 0;
  std::unique_ptr<TDBObjectList> sampleTypes_;
};
