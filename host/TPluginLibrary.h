#pragma once

#include <tesmira/TesmiraExports.h>

#include <string>

/// libtesmira.so as a host sees it: loaded by path with dlopen, the four
/// exports resolved by name.
class TPluginLibrary {
 public:
  /// Loads the library; raises std::runtime_error with dlerror's text.
  explicit TPluginLibrary(const std::string& path);
  ~TPluginLibrary();
  TPluginLibrary(const TPluginLibrary&) = delete;
  TPluginLibrary& operator=(const TPluginLibrary&) = delete;

  TInitDLLProc InitDLL = nullptr;
  TCreateMDIChildProc CreateMDIChild = nullptr;
  TGetMDIChildClassProc GetMDIChildClass = nullptr;
  TGetClassNamesProc GetClassNames = nullptr;

  const std::string& Path() const { return path_; }

 private:
  void* Resolve(const char* name);

  std::string path_;
  void* handle_ = nullptr;
};
