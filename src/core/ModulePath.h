#pragma once

#include <string>

/// Path rules for files kept beside the plug-in library.
namespace ModulePath {

/// Full file name of the module that contains this code (dladdr), made
/// absolute (realpath) when the module was loaded, so that a host that
/// loaded it by a relative name and then changed its working directory still
/// finds the files beside it.
std::string OwnModuleFileName();

/// The directory part of a module file name, trailing separator included.
/// When the name holds a colon, everything in front of the character just
/// before the first colon is dropped first (a prefix such as a long-path
/// marker in front of a drive letter).
std::string DirectoryOf(const std::string& moduleFileName);

/// DirectoryOf(OwnModuleFileName()) + relative.
std::string BesideModule(const std::string& relative);

}  // namespace ModulePath
