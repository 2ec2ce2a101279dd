#include "TCellText.h"

#include <charconv>
#include <cstdint>
#include <cstring>

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

}  // namespace

void TCellText::AppendUtf8AsGbk(std::string& out, std::string_view utf8) {
  if (IsAsciiFast(utf8))
    out.append(utf8.data(), utf8.size());
  else
    out += GbkText::FromUtf8(utf8);
}

void TCellText::AppendDouble(std::string& out, double value) {
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, ec == std::errc() ? ptr - buf : 0);
}
