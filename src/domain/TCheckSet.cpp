#include "TCheckSet.h"

TCheckSet::TCheckSet() : TBaseItem() {}

TCheckSet::TCheckSet(TBaseDBConnPool* pool) : TBaseItem(pool) {}
