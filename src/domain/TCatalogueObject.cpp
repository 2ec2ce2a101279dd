#include "TCatalogueObject.h"

#include "CatalogueVersion.h"

void TCatalogueObject::PrepareWrite() {
  CatalogueVersion::Prepare(Operator());
}

void TCatalogueObject::WriteStarted() {
  CatalogueVersion::Raise(Operator());
}
