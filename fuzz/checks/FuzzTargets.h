#pragma once

#include <string_view>
#include <vector>

/// One fuzz target: its name (the executable is fuzz_<name>, its inputs are
/// fuzz/corpus/<name> and fuzz/regressions/<name>) and its property check,
/// which raises FuzzFailure when an input breaks a property.
struct FuzzTarget {
  const char* Name;
  void (*Check)(std::string_view input);
};

/// Every fuzz target, one per parser of text that comes from outside.
const std::vector<FuzzTarget>& FuzzTargets();
