#pragma once

#include "TBaseItem.h"

/// A check set (ItemType 2): a package of combination items. A new one has
/// ItemType 0 like every item; the check set screen sets 2 before saving.
/// It adds nothing to TBaseItem: the kind is only the value of ItemType.
class TCheckSet : public TBaseItem {
 public:
  TCheckSet();
  explicit TCheckSet(TBaseDBConnPool* pool);
  TESMIRA_DBOBJECT_FACTORIES(TCheckSet)
};
