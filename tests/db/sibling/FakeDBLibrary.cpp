// A stand-in for the sibling library DB.so, built for the tests. It hands
// out operators of the pool that InitDLL gives it, calling that pool by
// position; it links nothing of the system, so it can really be unloaded.
#include "IDBOperator.h"
#include "TBaseDBConnPool.h"

#define SIBLING_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
TBaseDBConnPool* g_pool = nullptr;
}

SIBLING_EXPORT void InitDLL(TBaseDBConnPool* pool) {
  g_pool = pool;
}

SIBLING_EXPORT TBaseDBConnPool* DBConnectionPool() {
  return g_pool;
}

SIBLING_EXPORT IDBOperator* CreateDBOperator() {
  return g_pool ? g_pool->CreateDBOperator() : nullptr;
}
