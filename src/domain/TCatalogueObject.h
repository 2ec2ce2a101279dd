#pragma once

#include "TDBObject.h"

/// Base of the catalogue's table-mapped classes (categories, items and
/// composites, tubes): what every catalogue write does beyond the class's
/// own rules. Each write raises the catalogue's change stamp first, in its
/// own transaction (CatalogueVersion).
class TCatalogueObject : public TDBObject {
 public:
  using TDBObject::TDBObject;

 protected:
  void PrepareWrite() override;
  void WriteStarted() override;
};
