#include "TPluginLibrary.h"

#include <dlfcn.h>

#include <stdexcept>

TPluginLibrary::TPluginLibrary(const std::string& path) : path_(path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) throw std::runtime_error(std::string("Cannot load ") + path + ": " + dlerror());
  InitDLL = reinterpret_cast<TInitDLLProc>(Resolve("InitDLL"));
  CreateMDIChild = reinterpret_cast<TCreateMDIChildProc>(Resolve("CreateMDIChild"));
  GetMDIChildClass = reinterpret_cast<TGetMDIChildClassProc>(Resolve("GetMDIChildClass"));
  GetClassNames = reinterpret_cast<TGetClassNamesProc>(Resolve("GetClassNames"));
}

TPluginLibrary::~TPluginLibrary() {
  if (handle_) dlclose(handle_);
}

void* TPluginLibrary::Resolve(const char* name) {
  void* symbol = dlsym(handle_, name);
  if (!symbol) {
    dlclose(handle_);
    handle_ = nullptr;
    throw std::runtime_error(path_ + " does not export " + name);
  }
  return symbol;
}
