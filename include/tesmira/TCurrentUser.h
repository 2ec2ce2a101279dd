#pragma once

#include <optional>
#include <string>
#include <vector>

/// One right granted to the user: the function code it opens.
struct TUserRight {
  std::string FunctionCode;
};

/// The operator record of the user; OperatorName is recorded as modifier.
struct TOperatorRecord {
  std::string OperatorName;
};

/// The host's logged-in user. The library reads it and never changes it.
/// UserName is a variant in the host's world: text, or Null (no value).
struct TCurrentUser {
  std::optional<std::string> UserName;
  std::vector<TUserRight> Rights;
  TOperatorRecord Operator;
};
