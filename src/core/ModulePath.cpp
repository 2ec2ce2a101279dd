#include "ModulePath.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

namespace {

// The loader keeps the name the module was loaded by: a relative one names
// the right file only in the working directory of that moment, so it is
// made absolute while the module is being loaded.
std::string ResolveOwnModule() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ResolveOwnModule), &info) == 0 || !info.dli_fname)
    return std::string();
  char resolved[PATH_MAX];
  if (realpath(info.dli_fname, resolved)) return resolved;
  return info.dli_fname;
}

const std::string& LoadedFrom() {
  static const std::string name = ResolveOwnModule();
  return name;
}

[[maybe_unused]] const bool g_resolvedAtLoad = !LoadedFrom().empty();

}  // namespace

namespace ModulePath {

std::string OwnModuleFileName() {
  return LoadedFrom();
}

std::string DirectoryOf(const std::string& moduleFileName) {
  std::string name = moduleFileName;
  auto colon = name.find(':');
  if (colon != std::string::npos && colon > 0) name = name.substr(colon - 1);
  auto slash = name.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

std::string BesideModule(const std::string& relative) {
  return DirectoryOf(OwnModuleFileName()) + relative;
}

}  // namespace ModulePath
