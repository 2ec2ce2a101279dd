// tesmira-dbinit: creates the catalogue tables in the database that the
// installed library's cfg/cfg.config names, from the installed SQL for that
// database system, optionally with the demonstration data.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>

#include "ProgramConfig.h"
#include "TDatabaseSetup.h"

namespace fs = std::filesystem;

namespace {

const char* const kUsage =
    "Usage: tesmira-dbinit [--config FILE] [--sql-dir DIR] [--demo-data]\n"
    "Creates the Tesmira catalogue tables in the database named by the library's\n"
    "cfg/cfg.config (an SQLite file is created when missing), with the schema kept\n"
    "for that database system. A database that already holds the tables is left\n"
    "alone; a failure leaves the database as it was.\n"
    "\n"
    "  --config FILE   the library's configuration (default: the installed one)\n"
    "  --sql-dir DIR   the installed SQL (default: " TESMIRA_DATA_FROM_BIN
    "/sql)\n"
    "  --demo-data     also load the demonstration catalogue\n"
    "  --help          show this text\n"
    "  --version       show the version\n";

std::string DefaultSqlDir() {
  return (ProgramConfig::ProgramDir() / TESMIRA_DATA_FROM_BIN / "sql").lexically_normal().string();
}

}  // namespace

int main(int argc, char** argv) {
  TDatabaseSetup setup;
  setup.ConfigFile = ProgramConfig::DefaultConfigFile();
  setup.SqlDir = DefaultSqlDir();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (arg == "--version") {
      std::cout << "tesmira-dbinit " TESMIRA_VERSION "\n";
      return 0;
    } else if (arg == "--demo-data") {
      setup.DemoData = true;
    } else if (arg == "--config" && hasValue) {
      setup.ConfigFile = argv[++i];
    } else if (arg == "--sql-dir" && hasValue) {
      setup.SqlDir = argv[++i];
    } else {
      std::cerr << "tesmira-dbinit: unknown or incomplete option '" << arg << "'\n" << kUsage;
      return 2;
    }
  }
  try {
    std::cout << setup.Run() << "\n";
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "tesmira-dbinit: " << error.what() << "\n";
    return 1;
  }
}
