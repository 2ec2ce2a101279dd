#pragma once

#include <filesystem>
#include <string>
#include <system_error>

/// Where the library's configuration is for a program installed beside it
/// (tesmira-dbinit, tesmira-catalog). The program defines
/// TESMIRA_PLUGIN_FROM_BIN: the library's folder relative to its own.
namespace ProgramConfig {

/// The folder of the running program.
inline std::filesystem::path ProgramDir() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path() : self.parent_path();
}

/// Beside the program (a build folder), else where the install rules put the
/// library's folder relative to the installed program.
inline std::string DefaultConfigFile() {
  const std::filesystem::path beside = ProgramDir() / "cfg" / "cfg.config";
  if (std::filesystem::exists(beside)) return beside.string();
  return (ProgramDir() / TESMIRA_PLUGIN_FROM_BIN / "cfg" / "cfg.config")
      .lexically_normal()
      .string();
}

}  // namespace ProgramConfig
