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

// Never destroyed: the unload sequence may run after the static destructors
// of the library (at process exit), and must still find the binding.
Binding& State() {
  static Binding* binding = new Binding();
  return *binding;
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
  Binding& b = State();
  if (b.loadedByUs && b.handle) dlclose(b.handle);  // errors at unload are ignored
  b = Binding();
}

TCreateDBOperatorFunc CreateDBOperatorEntry() {
  return reinterpret_cast<TCreateDBOperatorFunc>(State().createDBOperator);
}
void* InitDLLEntry() {
  return State().initDll;
}
void* DBConnectionPoolEntry() {
  return State().dbConnectionPool;
}
bool LoadedByUs() {
  return State().loadedByUs;
}
void* Handle() {
  return State().handle;
}
const std::string& LibraryPath() {
  return State().path;
}

}  // namespace SiblingLibrary
