#include "TItem.h"

TItem::TItem() : TBaseItem() {}

TItem::TItem(TBaseDBConnPool* pool) : TBaseItem(pool) {}
