#include "TSingleComm.h"

#include "SingletonAccess.h"
#include "TDBConnPool.h"
#include "TRawBuffer.h"

namespace {
TSingleComm* g_instance = nullptr;
}

TSingleComm* TSingleComm::AccessInstance(int request) {
  return AccessSingleton(g_instance, request, [] { return new TSingleComm(); });
}

void TSingleComm::ReleaseProcessObjects() {
  delete AccessInstance(0);  // a lent pool is the host's: only forgotten
  if (TDBConnPool* pool = TDBConnPool::AccessInstance(0)) pool->ReleaseInstance();
  TSpareBlocks::Instance().FreeAll();  // the memory result sets gave back
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
