// tesmira-catalog: exports the catalogue of the database the library's
// cfg/cfg.config names to a file, and imports (or previews) one. Each
// subcommand is one entry of the command table below.
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "CatalogueExchange.h"
#include "GbkText.h"
#include "ProgramConfig.h"
#include "TCatalogueHistory.h"
#include "TDBConfigFile.h"
#include "TDBConnPool.h"
#include "TSingleComm.h"

namespace fs = std::filesystem;

namespace {

// Exit codes a script can test.
constexpr int kDone = 0;
constexpr int kRefused = 1;  // rows refused (nothing imported) or a right missing
constexpr int kUsage = 2;
constexpr int kFailed = 3;  // the file or the database could not be used

struct TArguments {
  std::string Config;
  std::string Since;  // history: from that day on (yyyy-mm-dd)
  std::string Code;   // history: of that entry
  std::vector<std::string> Files;
  bool DryRun = false;
  bool Quiet = false;
  TFileEncoding Encoding = TFileEncoding::Detect;
};

struct TCommand {
  const char* Name;
  const char* Synopsis;
  int (*Run)(const TArguments&);
};

std::string Out(const std::string& gbk) {
  return GbkText::ToUtf8(gbk);
}

// One line rewritten in place on a terminal, so a long import shows it is alive.
std::function<void(int, int)> ProgressLine(bool quiet) {
  if (quiet || !isatty(STDERR_FILENO)) return {};
  return [](int done, int total) {
    if (done % 200 != 0 && done != total) return;
    std::cerr << "\r" << done << "/" << total << (done == total ? "\n" : "") << std::flush;
  };
}

int Export(const TArguments& args) {
  if (args.Files.size() != 1) return kUsage;
  TExchangeOptions options;
  options.Encoding = args.Encoding;
  const int entries = CatalogueExchange::ExportFile(args.Files[0], options);
  std::cout << "exported " << entries << " entries to " << args.Files[0] << "\n";
  return kDone;
}

int Import(const TArguments& args) {
  if (args.Files.size() != 1) return kUsage;
  TExchangeOptions options;
  options.DryRun = args.DryRun;
  options.Encoding = args.Encoding;
  options.Source = "tesmira-catalog";
  options.Progress = ProgressLine(args.Quiet);
  const TImportReport report = CatalogueExchange::ImportFile(args.Files[0], options);
  for (const TImportRow& row : report.Rows) {
    if (row.Outcome == TRowOutcome::Unchanged) continue;
    // A workbook's row is named by its sheet and row, a CSV row by its line.
    std::cout << (row.Place.empty() ? std::to_string(row.Line) : Out(row.Place)) << "\t"
              << Out(row.OutcomeText()) << "\t" << Out(row.Kind) << "\t" << Out(row.Key) << "\t"
              << Out(row.Detail()) << "\n";
  }
  std::cout << Out(report.Summary()) << "\n";
  return report.Count(TRowOutcome::Refused) > 0 ? kRefused : kDone;
}

// The change history as CSV (UTF-8) on standard output.
int History(const TArguments& args) {
  if (!args.Files.empty()) return kUsage;
  THistoryFilter filter;
  filter.Since = args.Since;
  filter.EntryCode = args.Code;
  TCatalogueHistory(TSingleComm::Instance().GetConnPool()).WriteCsv(std::cout, filter);
  return kDone;
}

const std::vector<TCommand>& Commands() {
  static const std::vector<TCommand> commands = {
      {"export", "export FILE.csv|FILE.xlsx [--encoding utf8|gbk]", &Export},
      {"import", "import FILE.csv|FILE.xlsx [--dry-run] [--encoding utf8|gbk]", &Import},
      {"history", "history [--since yyyy-mm-dd] [--code CODE]   (CSV on standard output)",
       &History},
  };
  return commands;
}

void PrintUsage(std::ostream& out) {
  out << "Usage: tesmira-catalog COMMAND [--config FILE] ...\n"
         "Exports the catalogue of the library's database to a CSV file or an XLSX workbook\n"
         "(by the file's extension), or imports one (all rows or none; --dry-run shows\n"
         "what would change and changes nothing). --encoding applies to CSV files only.\n\n";
  for (const TCommand& command : Commands())
    out << "  tesmira-catalog " << command.Synopsis << "\n";
  out << "\n  --config FILE   the library's configuration (default: the installed one)\n"
         "  --quiet         no progress line\n"
         "Exit codes: 0 done, 1 rows refused or no right, 2 usage, 3 file or database failed.\n";
}

bool ParseArguments(int argc, char** argv, TArguments& args) {
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--dry-run")
      args.DryRun = true;
    else if (arg == "--quiet")
      args.Quiet = true;
    else if (arg == "--config" && hasValue)
      args.Config = argv[++i];
    else if (arg == "--since" && hasValue)
      args.Since = argv[++i];
    else if (arg == "--code" && hasValue)
      args.Code = argv[++i];
    else if (arg == "--encoding" && hasValue) {
      const std::string name = argv[++i];
      if (name == "utf8" || name == "utf-8")
        args.Encoding = TFileEncoding::Utf8;
      else if (name == "gbk")
        args.Encoding = TFileEncoding::Gbk;
      else
        return false;
    } else if (!arg.empty() && arg[0] == '-')
      return false;
    else
      args.Files.push_back(arg);
  }
  return true;
}

void OpenDatabase(const std::string& config) {
  if (!fs::is_regular_file(config))
    throw std::runtime_error("Cannot find the configuration file " + config);
  TDBConnPool& pool = *TDBConnPool::AccessInstance(1);
  TDBConfigFile::LoadFile(pool, config);
  TSingleComm::Instance().SetConnPool(&pool);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
    PrintUsage(argc < 2 ? std::cerr : std::cout);
    return argc < 2 ? kUsage : kDone;
  }
  if (std::string(argv[1]) == "--version") {
    std::cout << "tesmira-catalog " TESMIRA_VERSION "\n";
    return kDone;
  }
  const TCommand* command = nullptr;
  for (const TCommand& candidate : Commands())
    if (argv[1] == std::string(candidate.Name)) command = &candidate;
  TArguments args;
  args.Config = ProgramConfig::DefaultConfigFile();
  if (!command || !ParseArguments(argc, argv, args)) {
    std::cerr << "tesmira-catalog: unknown command or option\n";
    PrintUsage(std::cerr);
    return kUsage;
  }
  try {
    OpenDatabase(args.Config);
    const int result = command->Run(args);
    if (result == kUsage) PrintUsage(std::cerr);
    return result;
  } catch (const EWriteRefused& refusal) {
    std::cerr << "tesmira-catalog: " << Out(refusal.Message()) << "\n";
    return kRefused;
  } catch (const Exception& error) {
    std::cerr << "tesmira-catalog: " << Out(error.Message()) << "\n";
    return kFailed;
  } catch (const std::exception& error) {
    std::cerr << "tesmira-catalog: " << error.what() << "\n";
    return kFailed;
  }
}
