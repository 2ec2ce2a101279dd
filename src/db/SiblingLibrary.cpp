#include "SiblingLibrary.h"

#include <dlfcn.h>

#include "ModulePath.h"

namespace {

struct Binding {
  std::string path;
  void* handle = nullptr;
  bool loadedByUs = false;
  void* initDll = nullptr;
  void* dbConnectionPool = nullptr;
  void* createDBOperator = nullptr;
};

// Never destroyed by a static destructor: the unload sequence may run after
// them (at process exit), and must still find the binding. Unbind frees it,
// so nothing of it outlives the unloaded library.
Binding* g_binding = nullptr;

Binding& State() {
  if (!g_binding) g_binding = new Binding();
  return *g_binding;
}

// What the lookups read: the binding, or an empty one while unbound (a
// lookup does not make a binding that nothing would free).
const Binding& Current() {
  static const Binding unbound;
  return g_binding ? *g_binding : unbound;
}

}  // namespace

namespace SiblingLibrary {

void Bind() {
  Binding& b = State();
  if (b.handle) return;
  b.path = ModulePath::BesideModule("DB.so");
  // A module already loaded from that path is used as it is and stays
  // loaded after us; only one we load ourselves is ours to unload.
  b.handle = dlopen(b.path.c_str(), RTLD_NOLOAD | RTLD_NOW);
  if (b.handle) {
    // RTLD_NOLOAD still counts a reference; drop it so the host's own
    // reference is the only one keeping the module.
    dlclose(b.handle);
    b.loadedByUs = false;
  } else {
    b.handle = dlopen(b.path.c_str(), RTLD_NOW | RTLD_LOCAL);
    b.loadedByUs = b.handle != nullptr;
  }
  if (!b.handle) return;
  b.initDll = dlsym(b.handle, "InitDLL");
  b.dbConnectionPool = dlsym(b.handle, "DBConnectionPool");
  b.createDBOperator = dlsym(b.handle, "CreateDBOperator");
}

void Unbind() {
  if (!g_binding) return;
  const Binding& b = *g_binding;
  if (b.loadedByUs && b.handle) dlclose(b.handle);  // errors at unload are ignored
  delete g_binding;
  g_binding = nullptr;
}

TCreateDBOperatorFunc CreateDBOperatorEntry() {
  return reinterpret_cast<TCreateDBOperatorFunc>(Current().createDBOperator);
}
void* InitDLLEntry() {
  return Current().initDll;
}
void* DBConnectionPoolEntry() {
  return Current().dbConnectionPool;
}
bool LoadedByUs() {
  return Current().loadedByUs;
}
void* Handle() {
  return Current().handle;
}
const std::string& LibraryPath() {
  return Current().path;
}

}  // namespace SiblingLibrary
