#include "TComplexValue.h"

#include <algorithm>

#include "EInvalidFormatError.h"

namespace {

constexpr std::string::size_type npos = std::string::npos;

// The position of the single-byte character `c` at or after `from`, or npos.
// The second byte of a GBK pair may look like "{" or "}" (0x7B, 0x7D), so the
// scan steps over pairs instead of searching byte by byte.
std::string::size_type FindChar(const std::string& text, char c, std::string::size_type from = 0) {
  std::string::size_type i = from;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      if (text[i] == c) return i;
      ++i;
    } else {
      i += 2;
    }
  }
  return npos;
}

// True when `rest` holds a "{" that comes before its first "}".
bool StartsAnotherVariable(const std::string& rest) {
  const auto open = FindChar(rest, '{');
  const auto close = FindChar(rest, '}');
  return open != npos && close != npos && open < close;
}

}  // namespace

void TComplexValue::Parse(const std::string& text) {
  std::vector<TParam> params;
  if (text.empty()) {
    params_.clear();
    return;
  }
  std::string rest = text;
  std::string lead = rest.substr(0, std::min(FindChar(rest, '{'), rest.size()));
  while (StartsAnotherVariable(rest)) {
    const auto open = FindChar(rest, '{');
    const auto close = FindChar(rest, '}', open + 1);
    TParam param;
    param.Prefix = lead;
    param.Name = rest.substr(open + 1, close - open - 1);
    rest = rest.substr(close + 1);
    param.Suffix = rest.substr(0, std::min(FindChar(rest, '{'), rest.size()));
    lead = param.Suffix;
    if (param.Prefix.empty() && param.Suffix.empty() && !params.empty())
      throw EInvalidFormatError("无效格式，变量之间至少要有一个分割符。");
    params.push_back(std::move(param));
  }
  if (params.empty()) throw EInvalidFormatError("无效格式，请使用如：{变量名}的格式。");
  params_ = std::move(params);
}
