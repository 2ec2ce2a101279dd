#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "TRawBuffer.h"

/// Appends field values to the text buffer of a result set in the system's
/// form: GBK text, numbers in their shortest exact decimal form.
class TCellText {
 public:
  /// Appends `utf8` converted to GBK; ASCII text (the common case for codes,
  /// numbers and flags) is copied without calling the converter.
  static void AppendUtf8AsGbk(TCellBuffer& out, std::string_view utf8);
  /// Compares two UTF-8 texts as their GBK bytes compare, ASCII letters
  /// without case (as a server with a case-insensitive Chinese collation
  /// orders them: pinyin order for the common characters): <0, 0 or >0.
  static int CompareAsGbk(std::string_view utf8a, std::string_view utf8b);
  /// Appends the decimal text of an integer ("-12"), as SQLite prints it.
  static void AppendInteger(TCellBuffer& out, int64_t value);
  /// Appends the shortest decimal text that reads back as `value` ("8",
  /// "12.5"), the same on every backend.
  static void AppendDouble(TCellBuffer& out, double value);
};
