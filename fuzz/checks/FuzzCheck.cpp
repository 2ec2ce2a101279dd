#include "FuzzCheck.h"

#include <cstdio>

namespace FuzzCheck {

void Require(bool holds, std::string_view what, std::string_view input) {
  if (!holds) throw FuzzFailure(std::string(what) + " (input \"" + Shown(input) + "\")");
}

std::vector<std::string> Fields(std::string_view input, size_t count) {
  std::vector<std::string> fields;
  while (fields.size() + 1 < count) {
    const size_t nul = input.find('\0');
    if (nul == std::string_view::npos) break;
    fields.emplace_back(input.substr(0, nul));
    input.remove_prefix(nul + 1);
  }
  fields.emplace_back(input);
  fields.resize(count);
  return fields;
}

std::string Shown(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    }
  }
  return out;
}

size_t CharLength(std::string_view text, size_t pos) {
  if (static_cast<unsigned char>(text[pos]) < 0x80) return 1;
  return pos + 1 < text.size() ? 2 : 1;
}

bool IsValidGbk(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) continue;
    if (lead == 0x80 || lead == 0xFF || i + 1 == text.size()) return false;
    const auto trail = static_cast<unsigned char>(text[++i]);
    if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
  }
  return true;
}

bool IsValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned char lead = *p++;
    if (lead < 0x80) continue;
    int more;
    unsigned long cp;
    if (lead >= 0xC2 && lead <= 0xDF) {
      more = 1, cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      more = 2, cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      more = 3, cp = lead & 0x07;
    } else {
      return false;
    }
    if (end - p < more) return false;
    for (int k = 0; k < more; ++k, ++p) {
      if ((*p & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (*p & 0x3F);
    }
    const unsigned long shortest = more == 1 ? 0x80 : more == 2 ? 0x800 : 0x10000;
    if (cp < shortest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  }
  return true;
}

std::optional<int32_t> PlainInteger(std::string_view text) {
  size_t pos = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
  if (pos == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; pos < text.size(); ++pos) {
    if (text[pos] < '0' || text[pos] > '9') return std::nullopt;
    value = value * 10 + (text[pos] - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (text[0] == '-') value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace FuzzCheck
