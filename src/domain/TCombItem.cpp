#include "TCombItem.h"

TCombItem::TCombItem() : TBaseItem() {}

TCombItem::TCombItem(TBaseDBConnPool* pool) : TBaseItem(pool) {}
