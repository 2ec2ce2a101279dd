#pragma once

#include <string>
#include <vector>

/// The parser of result value formats: literal text with variables written
/// as a name in braces, for example "x{a}-{b}mg". Two variables must be
/// separated by at least one character. All texts are GBK; a brace is only
/// recognised as a single-byte character, never as the second byte of a
/// two-byte character.
class TComplexValue {
 public:
  /// One variable of a format with the literal text around it.
  struct TParam {
    std::string Prefix;  // text before the variable (after the previous one)
    std::string Name;    // text between the braces
    std::string Suffix;  // text after the variable, up to the next "{"
  };

  /// Parses `text` into Params. An empty text is valid and has no variable.
  /// Raises EInvalidFormatError "无效格式，变量之间至少要有一个分割符。" for
  /// two variables without a separator and "无效格式，请使用如：{变量名}的格式。"
  /// for a non-empty text without a variable.
  void Parse(const std::string& text);

  /// The variables of the last successful parse, in order.
  const std::vector<TParam>& Params() const { return params_; }

 private:
  std::vector<TParam> params_;
};
