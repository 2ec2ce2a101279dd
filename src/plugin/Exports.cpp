// The exported entry points and the library's load and unload hooks. Built
// into libtesmira.so only; the logic lives in WindowRegistry.
#include "TesmiraExports.h"
#include "WindowRegistry.h"

extern "C" {

void InitDLL(TApplication* application, IWinMain* host, TBaseDBConnPool* pool) {
  WindowRegistry::InitDLL(application, host, pool);
}

TMDIChild* CreateMDIChild(const char* name, IWinMain* host) {
  return WindowRegistry::CreateMDIChild(name ? name : "", host);
}

TMDIChildClass GetMDIChildClass(const char* name) {
  return WindowRegistry::GetMDIChildClass(name ? name : "");
}

void GetClassNames(std::string& names) {
  WindowRegistry::GetClassNames(names);
}
}

namespace {

// Runs when the loader maps the library, before any export can be called,
// and when it is unmapped.
__attribute__((constructor)) void LibraryLoaded() {
  WindowRegistry::Startup();
}
__attribute__((destructor)) void LibraryUnloaded() {
  WindowRegistry::Shutdown();
  WindowRegistry::ReleaseProcessObjects();
}

}  // namespace
