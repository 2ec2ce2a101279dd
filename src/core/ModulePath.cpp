#include "ModulePath.h"

#include <dlfcn.h>

namespace ModulePath {

std::string OwnModuleFileName() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&OwnModuleFileName), &info) == 0 || !info.dli_fname)
    return std::string();
  return info.dli_fname;
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
