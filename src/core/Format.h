#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>

/// One argument of a format template: text, integer, floating-point number or
/// flag. Flags format as 0 or 1 under %d.
class TFormatArg {
 public:
  // Text is only looked at during the call the argument list belongs to, so
  // it is referred to, not copied: a statement is built from many fields.
  TFormatArg(const char* s) : value_(std::string_view(s ? s : "")) {}
  TFormatArg(const std::string& s) : value_(std::string_view(s)) {}
  TFormatArg(std::string_view s) : value_(s) {}
  TFormatArg(int v) : value_(int64_t{v}) {}
  TFormatArg(long v) : value_(int64_t{v}) {}
  TFormatArg(long long v) : value_(int64_t{v}) {}
  TFormatArg(unsigned v) : value_(int64_t{v}) {}
  TFormatArg(double v) : value_(v) {}
  TFormatArg(bool v) : value_(int64_t{v ? 1 : 0}) {}

  std::string AsText() const;
  int64_t AsInteger() const;
  double AsFloat() const;
  /// The text of a text argument; null for a number.
  const std::string_view* Text() const { return std::get_if<std::string_view>(&value_); }

 private:
  std::variant<std::string_view, int64_t, double> value_;
};

using TFormatArgs = std::initializer_list<TFormatArg>;

/// Formats a template the way every message and statement of the system is
/// built: %s text, %d decimal integer, %f fixed point (two decimals unless a
/// precision is given), %% a percent sign; "%0:s" / "%000:s" pick an argument
/// by index and the next plain placeholder takes the argument after it.
/// A width ("%6d", "%-6s") pads with blanks. Raises Exception on a template
/// that asks for more arguments than given.
std::string FormatText(const std::string& tmpl, TFormatArgs args);

/// As FormatText, for SQL: a %s placed inside a single-quoted literal of the
/// template has every single quote of its value doubled, so a value such as
/// O'Brien is stored as typed and can never end the literal early.
std::string FormatSql(const std::string& tmpl, TFormatArgs args);

/// Doubles every single quote: the literal form of a text value.
std::string QuoteDoubled(const std::string& text);
