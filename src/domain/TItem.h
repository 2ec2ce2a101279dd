#pragma once

#include "TBaseItem.h"

/// An examination item (ItemType 0): a single measurement or finding.
/// It adds nothing to TBaseItem: the kind is only the value of ItemType.
class TItem : public TBaseItem {
 public:
  TItem();
  explicit TItem(TBaseDBConnPool* pool);
  TESMIRA_DBOBJECT_FACTORIES(TItem)
};
