#include "TCellText.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>

#include "GbkText.h"

namespace {

// Word-at-a-time test for bytes >= 0x80.
bool IsAsciiFast(std::string_view s) {
  const char* p = s.data();
  size_t n = s.size();
  while (n >= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    if (w & 0x8080808080808080ull) return false;
    p += 8;
    n -= 8;
  }
  while (n--)
    if (static_cast<unsigned char>(*p++) >= 0x80) return false;
  return true;
}

// GbkText's conversion of every character of the Basic Multilingual Plane,
// worked out once: a result set of Chinese names then converts by table
// lookup instead of one converter call per field. The code page is
// stateless, so converting character by character gives the same bytes as
// converting the whole text.
class BmpTable {
 public:
  BmpTable() {
    for (uint32_t cp = 0x80; cp < 0x10000; ++cp) {
      if (cp >= 0xD800 && cp <= 0xDFFF) continue;  // surrogates are not characters
      char utf8[3];
      size_t n = 0;
      if (cp < 0x800) {
        utf8[n++] = static_cast<char>(0xC0 | (cp >> 6));
      } else {
        utf8[n++] = static_cast<char>(0xE0 | (cp >> 12));
        utf8[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      }
      utf8[n++] = static_cast<char>(0x80 | (cp & 0x3F));
      std::string out = GbkText::FromUtf8(std::string_view(utf8, n));
      if (out.empty() || out.size() > 4) continue;
      std::memcpy(&bytes_[cp], out.data(), out.size());
      length_[cp] = static_cast<uint8_t>(out.size());
    }
  }

  // Converts valid UTF-8 of BMP characters; false (and `out` unchanged) for
  // anything else, which the caller hands to the converter as a whole.
  bool Append(std::string& out, std::string_view utf8) const {
    const size_t start = out.size();
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
      uint32_t cp;
      if (*p < 0x80) {
        out += static_cast<char>(*p++);
        continue;
      }
      if ((*p & 0xE0) == 0xC0 && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
        cp = ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
        p += 2;
        if (cp < 0x80) return Undo(out, start);
      } else if ((*p & 0xF0) == 0xE0 && end - p >= 3 && (p[1] & 0xC0) == 0x80 &&
                 (p[2] & 0xC0) == 0x80) {
        cp = ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
        p += 3;
        if (cp < 0x800) return Undo(out, start);
      } else {
        return Undo(out, start);
      }
      if (length_[cp] == 0) return Undo(out, start);
      out.append(reinterpret_cast<const char*>(&bytes_[cp]), length_[cp]);
    }
    return true;
  }

 private:
  static bool Undo(std::string& out, size_t start) {
    out.resize(start);
    return false;
  }

  std::array<uint32_t, 0x10000> bytes_{};
  std::array<uint8_t, 0x10000> length_{};
};

const BmpTable& Table() {
  static const auto table = std::make_unique<BmpTable>();
  return *table;
}

}  // namespace

bool TCellText::IsAscii(std::string_view text) {
  return IsAsciiFast(text);
}

void TCellText::AppendUtf8AsGbk(std::string& out, std::string_view utf8) {
  if (IsAsciiFast(utf8)) {
    out.append(utf8.data(), utf8.size());
    return;
  }
  AppendNonAsciiUtf8AsGbk(out, utf8);
}

void TCellText::AppendNonAsciiUtf8AsGbk(std::string& out, std::string_view utf8) {
  if (!Table().Append(out, utf8)) out += GbkText::FromUtf8(utf8);
}

void TCellText::AppendDouble(std::string& out, double value) {
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, ec == std::errc() ? ptr - buf : 0);
}
