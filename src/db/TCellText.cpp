#include "TCellText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>

#include "GbkText.h"

namespace {

// Copies `n` bytes of ASCII text to `out` a word at a time while testing
// them; false (with part of the text copied) at the first byte >= 0x80.
// One pass instead of a test and then a copy: most cells are codes, numbers
// and flags.
bool CopyAscii(char* out, const char* in, size_t n) {
  constexpr uint64_t kHighBits = 0x8080808080808080ull;
  for (; n >= 8; n -= 8, in += 8, out += 8) {
    uint64_t word;
    std::memcpy(&word, in, 8);
    if (word & kHighBits) return false;
    std::memcpy(out, &word, 8);
  }
  for (; n > 0; --n) {
    if (static_cast<unsigned char>(*in) >= 0x80) return false;
    *out++ = *in++;
  }
  return true;
}

// GbkText's conversion of every character of the Basic Multilingual Plane,
// worked out once: a result set of Chinese names then converts by table
// lookup instead of one converter call per field. The code page is
// stateless, so converting character by character gives the same bytes as
// converting the whole text.
class BmpTable {
 public:
  // All characters go to the converter in one text, each followed by a line
  // break, which no GB18030 character contains: one call instead of 63 000
  // (those took about a tenth of a second, paid by the first window open).
  BmpTable() {
    std::string utf8;
    utf8.reserve(0x10000 * 4);
    for (uint32_t cp = 0x80; cp < 0x10000; ++cp) {
      if (cp >= 0xD800 && cp <= 0xDFFF) continue;  // surrogates are not characters
      AppendUtf8(utf8, cp);
      utf8 += '\n';
    }
    const std::string gbk = GbkText::FromUtf8(utf8);
    size_t start = 0;
    for (uint32_t cp = 0x80; cp < 0x10000; ++cp) {
      if (cp >= 0xD800 && cp <= 0xDFFF) continue;
      const size_t end = gbk.find('\n', start);
      if (end == std::string::npos) break;  // cannot happen: one break per character
      const std::string_view out(gbk.data() + start, end - start);
      start = end + 1;
      if (out.empty() || out.size() > 4) continue;
      std::memcpy(&bytes_[cp], out.data(), out.size());
      length_[cp] = static_cast<uint8_t>(out.size());
    }
  }

  // Converts valid UTF-8 of BMP characters into `out`, which has room for
  // twice the input's bytes and two more (no character takes more than
  // that): the number of bytes written, or npos for text the table cannot
  // convert, which the caller hands to the converter as a whole.
  size_t Write(char* out, std::string_view utf8) const {
    char* const start = out;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
      if (*p < 0x80) {
        *out++ = static_cast<char>(*p++);
        continue;
      }
      uint32_t cp;
      if (!NextNonAscii(p, end, cp) || length_[cp] == 0) return std::string_view::npos;
      std::memcpy(out, &bytes_[cp], 4);  // whole entries: the extra bytes are overwritten
      out += length_[cp];
    }
    return static_cast<size_t>(out - start);
  }

  // The GBK bytes of the character at `p` (ASCII letters lower-cased) into
  // `key`, moving `p` past it; false for a character the table lacks.
  bool NextKey(const unsigned char*& p, const unsigned char* end, char (&key)[4],
               size_t& length) const {
    if (*p < 0x80) {
      key[0] = static_cast<char>(*p >= 'A' && *p <= 'Z' ? *p - 'A' + 'a' : *p);
      length = 1;
      ++p;
      return true;
    }
    uint32_t cp;
    if (!NextNonAscii(p, end, cp) || length_[cp] == 0) return false;
    std::memcpy(key, &bytes_[cp], 4);
    length = length_[cp];
    return true;
  }

 private:
  // Encodes a BMP character as its two- or three-byte UTF-8 sequence.
  static void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }

  static bool NextNonAscii(const unsigned char*& p, const unsigned char* end, uint32_t& cp) {
    if ((*p & 0xE0) == 0xC0 && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
      cp = ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
      p += 2;
      return cp >= 0x80;
    }
    if ((*p & 0xF0) == 0xE0 && end - p >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
      cp = ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
      p += 3;
      return cp >= 0x800;
    }
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

void TCellText::AppendUtf8AsGbk(TCellBuffer& out, std::string_view utf8) {
  // A character of two UTF-8 bytes may take four in GB18030, one of three
  // at most four; the table writes whole four-byte entries.
  char* const room = out.Reserve(2 * utf8.size() + 2);
  if (CopyAscii(room, utf8.data(), utf8.size())) {
    out.Commit(utf8.size());
    return;
  }
  const size_t written = Table().Write(room, utf8);
  if (written != std::string_view::npos)
    out.Commit(written);
  else
    out += GbkText::FromUtf8(utf8);
}

namespace {

// The GBK bytes with ASCII letters in lower case. Only single-byte
// characters are letters: the second byte of a two-byte character may look
// like one (0x41..0x5A), and folding it would make two characters equal and
// disagree with the table's order.
std::string FoldedGbk(std::string_view utf8) {
  std::string gbk = GbkText::FromUtf8(utf8);
  for (size_t i = 0; i < gbk.size();) {
    char& c = gbk[i];
    if (static_cast<unsigned char>(c) >= 0x80) {
      // GB18030: a digit after the lead byte makes a four-byte character.
      const bool fourBytes = i + 1 < gbk.size() && gbk[i + 1] >= '0' && gbk[i + 1] <= '9';
      i += fourBytes ? 4 : 2;
      continue;
    }
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    ++i;
  }
  return gbk;
}

int Sign(int value) {
  return (value > 0) - (value < 0);
}

}  // namespace

namespace {

bool IsContinuationAt(std::string_view utf8, size_t pos) {
  return pos < utf8.size() && (static_cast<unsigned char>(utf8[pos]) & 0xC0) == 0x80;
}

// Where the two texts' characters may first differ: the start of the
// character that holds their first different byte. Equal bytes are equal
// characters, so the comparison need not convert them (names often share a
// long first part: "血常规检查1", "血常规检查2").
size_t SharedCharacters(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  size_t same = 0;
  while (same < common && a[same] == b[same]) ++same;
  while (same > 0 && (IsContinuationAt(a, same) || IsContinuationAt(b, same))) --same;
  return same;
}

// memcmp of two keys of at most four bytes, without a library call.
int CompareKeys(const char (&a)[4], const char (&b)[4], size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (a[i] != b[i])
      return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
  return 0;
}

}  // namespace

int TCellText::CompareAsGbk(std::string_view utf8a, std::string_view utf8b) {
  // Character by character through the table, without building either
  // text: the common case of a sort's many comparisons.
  const size_t same = SharedCharacters(utf8a, utf8b);
  if (same == utf8a.size() && same == utf8b.size()) return 0;
  const auto* a = reinterpret_cast<const unsigned char*>(utf8a.data()) + same;
  const auto* b = reinterpret_cast<const unsigned char*>(utf8b.data()) + same;
  const auto* aEnd = reinterpret_cast<const unsigned char*>(utf8a.data()) + utf8a.size();
  const auto* bEnd = reinterpret_cast<const unsigned char*>(utf8b.data()) + utf8b.size();
  const BmpTable& table = Table();
  while (a < aEnd && b < bEnd) {
    char keyA[4], keyB[4];
    size_t lengthA = 0, lengthB = 0;
    if (!table.NextKey(a, aEnd, keyA, lengthA) || !table.NextKey(b, bEnd, keyB, lengthB))
      return Sign(FoldedGbk(utf8a).compare(FoldedGbk(utf8b)));  // rare characters
    if (int order = CompareKeys(keyA, keyB, std::min(lengthA, lengthB))) return order;
    if (lengthA != lengthB) return lengthA < lengthB ? -1 : 1;
  }
  return (a < aEnd) - (b < bEnd);
}

void TCellText::AppendInteger(TCellBuffer& out, int64_t value) {
  char* const room = out.Reserve(20);  // "-9223372036854775808"
  out.Commit(static_cast<size_t>(std::to_chars(room, room + 20, value).ptr - room));
}

void TCellText::AppendDouble(TCellBuffer& out, double value) {
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, ec == std::errc() ? static_cast<size_t>(ptr - buf) : 0);
}
