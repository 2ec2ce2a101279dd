#include "TSingleComm.h"

#include "Exceptions.h"
#include "TDBConnPool.h"

namespace {
TSingleComm* g_instance = nullptr;
}

TSingleComm* TSingleComm::AccessInstance(int request) {
  switch (request) {
    case 0:
      return g_instance;
    case 1:
      if (!g_instance) g_instance = new TSingleComm();
      return g_instance;
    case 2:
      g_instance = nullptr;
      return nullptr;
    default:
      throw Exception("Illegal request %d in AccessInstance", {request});
  }
}

TSingleComm::~TSingleComm() {
  if (g_instance == this) AccessInstance(2);
}

TBaseDBConnPool* TSingleComm::GetConnPool() {
  if (!connPool_) {
    TBaseDBConnPool* pool = TDBConnPool::AccessInstance(1);
    pool->Init();
    connPool_ = pool;
  }
  return connPool_;
}

void TSingleComm::SetConnPool(TBaseDBConnPool* pool) {
  if (pool) connPool_ = pool;
}
