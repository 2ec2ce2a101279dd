// The entry point of every fuzz target: libFuzzer hands each input to the
// property check of the target this executable was built for
// (TESMIRA_FUZZ_TARGET). A broken property stops the run with its
// description, and libFuzzer keeps the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string_view>

#include "FuzzCheck.h"
#include "FuzzTargets.h"

namespace {

const FuzzTarget& Target() {
  static const FuzzTarget* target = [] {
    for (const FuzzTarget& t : FuzzTargets())
      if (std::strcmp(t.Name, TESMIRA_FUZZ_TARGET) == 0) return &t;
    std::fprintf(stderr, "no fuzz target named %s\n", TESMIRA_FUZZ_TARGET);
    std::abort();
  }();
  return *target;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    Target().Check(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const FuzzFailure& failure) {
    std::fprintf(stderr, "property broken in %s: %s\n", TESMIRA_FUZZ_TARGET, failure.what());
    std::abort();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s raised an error no check expects: %s\n", TESMIRA_FUZZ_TARGET,
                 error.what());
    std::abort();
  }
  return 0;
}
