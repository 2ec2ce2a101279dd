// Every stored input of every fuzz target (fuzz/corpus/<name> and
// fuzz/regressions/<name>) keeps the target's properties, so a fault that
// fuzzing once found stays mended in every ordinary test run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzTargets.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> StoredInputs(const char* name) {
  std::vector<fs::path> files;
  for (const char* folder : {"corpus", "regressions"}) {
    const fs::path dir = fs::path(TESMIRA_FUZZ_DIR) / folder / name;
    if (!fs::is_directory(dir)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
      if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

class FuzzCases : public ::testing::TestWithParam<FuzzTarget> {};

}  // namespace

// Names the target in GoogleTest's messages.
void PrintTo(const FuzzTarget& target, std::ostream* out) {
  *out << target.Name;
}

TEST_P(FuzzCases, StoredInputsKeepEveryProperty) {
  const FuzzTarget& target = GetParam();
  const std::vector<fs::path> files = StoredInputs(target.Name);
  EXPECT_FALSE(files.empty()) << "no seed inputs for " << target.Name;
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::string input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
      target.Check(input);
    } catch (const FuzzFailure& failure) {
      ADD_FAILURE() << file << ": " << failure.what();
    } catch (const std::exception& error) {
      ADD_FAILURE() << file << " raised an error no check expects: " << error.what();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCases, ::testing::ValuesIn(FuzzTargets()),
                         [](const ::testing::TestParamInfo<FuzzTarget>& info) {
                           return std::string(info.param.Name);
                         });
