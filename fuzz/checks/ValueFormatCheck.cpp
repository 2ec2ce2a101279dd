#include "ValueFormatCheck.h"

#include <string>

#include "EInvalidFormatError.h"
#include "FuzzCheck.h"
#include "TComplexValue.h"

using FuzzCheck::Require;

namespace {

// The parser's message for `text`; the two refusals are taken from the
// parser itself, so the check holds whatever the build's literal encoding.
std::string RefusalOf(const std::string& text) {
  try {
    TComplexValue().Parse(text);
  } catch (const EInvalidFormatError& e) {
    return e.Message();
  }
  return {};
}

// True when `text` holds the single-byte character `c`, stepping over GBK
// pairs (whose second byte may be 0x7B or 0x7D).
bool HoldsChar(std::string_view text, char c) {
  for (size_t i = 0; i < text.size(); i += FuzzCheck::CharLength(text, i))
    if (text[i] == c) return true;
  return false;
}

// True when the text holds a variable: a "{" character before the first "}"
// character after it.
bool HoldsVariable(std::string_view text) {
  for (size_t i = 0; i < text.size(); i += FuzzCheck::CharLength(text, i)) {
    if (text[i] == '}') return false;
    if (text[i] == '{') return HoldsChar(text.substr(i + 1), '}');
  }
  return false;
}

// True when a "}" character is directly followed by a "{" character.
bool HoldsTouchingBraces(std::string_view text) {
  for (size_t i = 0; i < text.size(); i += FuzzCheck::CharLength(text, i))
    if (text[i] == '}' && i + 1 < text.size() && text[i + 1] == '{') return true;
  return false;
}

void CheckAccepted(const std::string& text, const std::vector<TComplexValue::TParam>& params) {
  Require(text.empty() || HoldsVariable(text), "an accepted format holds a variable", text);
  Require(text.empty() == params.empty(), "a non-empty format reads at least one variable", text);
  if (params.empty()) return;
  std::string spelled = params.front().Prefix;
  for (size_t i = 0; i < params.size(); ++i) {
    const TComplexValue::TParam& p = params[i];
    Require(!HoldsChar(p.Name, '}'), "a variable name holds no closing brace", text);
    Require(!HoldsChar(p.Prefix, '{') && !HoldsChar(p.Suffix, '{'),
            "literal parts hold no opening brace", text);
    if (i > 0) {
      Require(p.Prefix == params[i - 1].Suffix, "a prefix is the previous suffix", text);
      Require(!p.Prefix.empty() || !p.Suffix.empty(), "variables are separated", text);
    }
    spelled += "{" + p.Name + "}" + p.Suffix;
  }
  Require(text.compare(0, spelled.size(), spelled) == 0, "the variables spell the text", text);
  // What is left after the last suffix starts another "{" that no "}" closes.
  const std::string rest = text.substr(spelled.size());
  const std::string lastRest = params.back().Suffix + rest;
  Require(rest.empty() || (rest.front() == '{' &&
                           (!HoldsChar(lastRest, '}') || HoldsChar(params.back().Suffix, '}'))),
          "only an unclosed brace is left after the last variable", text);
}

}  // namespace

void CheckValueFormat(std::string_view input) {
  static const std::string noVariable = RefusalOf("abc");
  static const std::string noSeparator = RefusalOf("{a}{b}");
  const std::string text(input);
  TComplexValue parser;
  parser.Parse("<{v}>");
  const auto earlier = parser.Params();
  try {
    parser.Parse(text);
  } catch (const EInvalidFormatError& e) {
    const bool known = e.Message() == noVariable || e.Message() == noSeparator;
    Require(known, "a refusal carries one of the two messages", text);
    Require((e.Message() == noVariable) == !HoldsVariable(text),
            "\"no variable\" exactly when the text holds none", text);
    Require(e.Message() != noSeparator || HoldsTouchingBraces(text),
            "\"no separator\" only where two variables touch", text);
    Require(parser.Params().size() == earlier.size() &&
                parser.Params().front().Name == earlier.front().Name,
            "a refused format leaves the previous result", text);
    return;
  }
  CheckAccepted(text, parser.Params());
}
