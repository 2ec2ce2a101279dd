#pragma once

#include <string>

/// The named-parameter syntax of the batch: `:name` (a letter or underscore,
/// then letters, digits or underscores) anywhere outside literals, quoted
/// names and comments. Each occurrence is its own parameter, numbered from 0
/// in text order, so a colon inside a literal ('10:30') is never one.
class TSqlParameters {
 public:
  /// The text with every parameter replaced by the positional marker `?`;
  /// `count` receives the number of parameters.
  static std::string ToPositional(const std::string& utf8Sql, int& count);
};
