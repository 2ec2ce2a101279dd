#pragma once

#include "TBaseItem.h"

/// A combination item (ItemType 1): examination items examined and charged
/// together. A new one has ItemType 0 like every item; the combination item
/// screen sets 1 before saving.
/// It adds nothing to TBaseItem: the kind is only the value of ItemType.
class TCombItem : public TBaseItem {
 public:
  TCombItem();
  explicit TCombItem(TBaseDBConnPool* pool);
  TESMIRA_DBOBJECT_FACTORIES(TCombItem)
};
