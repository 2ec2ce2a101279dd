// A shared object standing where the plug-in library stands: it carries the
// database layer's path rules (its own module file name decides where
// cfg/cfg.config and DB.so are looked for) and lets a test drive them.
#include <cstring>
#include <string>

#include "Exceptions.h"
#include "GbkText.h"
#include "SiblingLibrary.h"
#include "TDBConnPool.h"
#include "TSingleComm.h"

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

// Unloading does what the plug-in's unload does for the database layer, so
// nothing the probe made outlives it.
__attribute__((destructor)) static void ProbeUnloaded() {
  SiblingLibrary::Unbind();
  TSingleComm::ReleaseProcessObjects();
  GbkText::ReleaseConverters();
}

PROBE_EXPORT void ProbeBind() {
  SiblingLibrary::Bind();
}
PROBE_EXPORT void ProbeUnbind() {
  SiblingLibrary::Unbind();
}
PROBE_EXPORT void* ProbeHandle() {
  return SiblingLibrary::Handle();
}
PROBE_EXPORT bool ProbeLoadedByUs() {
  return SiblingLibrary::LoadedByUs();
}
PROBE_EXPORT void* ProbeCreateDBOperatorEntry() {
  return reinterpret_cast<void*>(SiblingLibrary::CreateDBOperatorEntry());
}
PROBE_EXPORT const char* ProbeLibraryPath() {
  return SiblingLibrary::LibraryPath().c_str();
}

/// Runs the pool's LoadConfig(none); fills `out` with "DBName|MaxDBPoolSize"
/// or the error message. Returns whether it loaded.
PROBE_EXPORT bool ProbeLoadConfig(char* out, size_t size) {
  std::string text;
  bool ok = true;
  try {
    TDBConnPool* pool = TDBConnPool::AccessInstance(1);
    pool->LoadConfig(nullptr);
    text = pool->GetDBName() + "|" + std::to_string(pool->GetMaxDBPoolSize());
  } catch (const Exception& e) {
    text = e.Message();
    ok = false;
  }
  if (TDBConnPool* pool = TDBConnPool::AccessInstance(0)) pool->ReleaseInstance();
  std::strncpy(out, text.c_str(), size - 1);
  out[size - 1] = 0;
  return ok;
}

/// The shared context's pool, made and initialised from cfg/cfg.config on
/// first use: returns its connection count after `calls` requests, or -1
/// with the message in `out`. The pool is released afterwards.
PROBE_EXPORT int ProbeSharedPool(int calls, char* out, size_t size) {
  int count = -1;
  out[0] = 0;
  try {
    TBaseDBConnPool* first = TSingleComm::Instance().GetConnPool();
    for (int i = 1; i < calls; ++i)
      if (TSingleComm::Instance().GetConnPool() != first) return -2;
    count = first->GetConnectionCount();
  } catch (const Exception& e) {
    std::strncpy(out, e.Message().c_str(), size - 1);
    out[size - 1] = 0;
  }
  TSingleComm::Instance().ForgetConnPool();
  if (TDBConnPool* pool = TDBConnPool::AccessInstance(0)) pool->ReleaseInstance();
  return count;
}
