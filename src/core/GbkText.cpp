#include "GbkText.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <type_traits>

namespace {

// The bytes written for a character the converter refuses at the start of
// `in` (empty: none, write the replacement for one byte); `consumed`
// receives the bytes of `in` they stand for.
using Substitute = std::string_view (*)(std::string_view in, size_t& consumed);

// An iconv descriptor: opening one costs far more than converting a short
// field, so it is kept and reused.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv_open failed: ") + from + " -> " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::string Run(std::string_view in, std::string_view replacement, Substitute substitute) {
    std::string out;
    out.resize(in.size() * 2 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t used = 0;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      size_t dstLeft = out.size() - used;
      size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (rc != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
      } else {  // EILSEQ or EINVAL: substitute or replace one byte, and go on
        size_t consumed = 0;
        std::string_view written = substitute ? substitute({src, srcLeft}, consumed) : "";
        if (written.empty()) {
          written = replacement;
          consumed = 1;
        }
        if (out.size() - used < written.size() + 1) out.resize(out.size() * 2 + 8);
        std::memcpy(out.data() + used, written.data(), written.size());
        used += written.size();
        src += consumed;
        srcLeft -= consumed;
      }
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

// Private-use characters that GBK (and GB18030-2005) encode but glibc's
// GB18030 refuses, since its GB18030 gives their codes to the characters
// Unicode encoded later (vertical forms, a few ideographs). They are written
// as their GBK codes instead of being lost as "?"; read back, the codes give
// those standard characters.
struct PrivateUseCode {
  char32_t CodePoint;
  char Gbk[3];
};
constexpr PrivateUseCode kPrivateUse[] = {
    {0xE78D, "\xA6\xD9"}, {0xE78E, "\xA6\xDA"}, {0xE78F, "\xA6\xDB"}, {0xE790, "\xA6\xDC"},
    {0xE791, "\xA6\xDD"}, {0xE792, "\xA6\xDE"}, {0xE793, "\xA6\xDF"}, {0xE794, "\xA6\xEC"},
    {0xE795, "\xA6\xED"}, {0xE796, "\xA6\xF3"}, {0xE816, "\xFE\x51"}, {0xE817, "\xFE\x52"},
    {0xE818, "\xFE\x53"}, {0xE81E, "\xFE\x59"}, {0xE826, "\xFE\x61"}, {0xE82B, "\xFE\x66"},
    {0xE82C, "\xFE\x67"}, {0xE831, "\xFE\x6C"}, {0xE832, "\xFE\x6D"}, {0xE83B, "\xFE\x76"},
    {0xE843, "\xFE\x7E"}, {0xE854, "\xFE\x90"}, {0xE855, "\xFE\x91"}, {0xE864, "\xFE\xA0"},
};

std::string_view PrivateUseGbk(std::string_view utf8, size_t& consumed) {
  if (utf8.size() < 3 || static_cast<unsigned char>(utf8[0]) != 0xEE) return {};
  if ((utf8[1] & 0xC0) != 0x80 || (utf8[2] & 0xC0) != 0x80) return {};
  const char32_t codePoint = 0xE000 | ((utf8[1] & 0x3F) << 6) | (utf8[2] & 0x3F);
  for (const PrivateUseCode& code : kPrivateUse) {
    if (code.CodePoint != codePoint) continue;
    consumed = 3;
    return {code.Gbk, 2};
  }
  return {};
}

// One converter per direction for the process, made on first use and used
// under its lock (a descriptor keeps state between calls). The library
// converts on the host's user-interface thread, so the lock is practically
// never contended. Not per thread: a converter of every thread that ends
// would be lost, and thread-local storage of a library makes unloading it
// fragile. The lock needs no destructor, so it still works when the unload
// runs after the static destructors (at process exit).
struct Direction {
  std::mutex lock;
  Converter* converter = nullptr;
};
static_assert(std::is_trivially_destructible_v<std::mutex>);
constinit Direction g_fromUtf8;
constinit Direction g_toUtf8;

std::string Convert(Direction& direction, const char* to, const char* from, std::string_view in,
                    std::string_view replacement, Substitute substitute) {
  std::lock_guard<std::mutex> guard(direction.lock);
  if (!direction.converter) direction.converter = new Converter(to, from);
  return direction.converter->Run(in, replacement, substitute);
}

// GBK's two-byte characters in UTF-8, worked out once by the converter: a
// statement or field of Chinese text then converts by table lookup, where
// the converter takes about fifty instructions a byte. The code page is
// stateless, so converting character by character gives the same bytes as
// converting the whole text. Pairs the converter does not take as one
// character (and GB18030's four-byte codes) are left to the converter.
class TwoByteTable {
 public:
  TwoByteTable() {
    std::string gbk;
    gbk.reserve(kLeads * kTrails * 3);
    for (int lead = kFirstLead; lead < kFirstLead + kLeads; ++lead)
      for (int trail = kFirstTrail; trail < kFirstTrail + kTrails; ++trail) {
        gbk += static_cast<char>(lead);
        gbk += static_cast<char>(trail);
        gbk += '\n';  // no GB18030 character holds a line break
      }
    const std::string utf8 = Convert(g_toUtf8, "UTF-8", "GB18030", gbk, kReplacement, nullptr);
    size_t start = 0;
    for (Entry& entry : utf8_) {
      const size_t end = utf8.find('\n', start);
      if (end == std::string::npos) {
        utf8_.fill(Entry{});  // not one piece per pair: leave everything to the converter
        return;
      }
      entry = EntryOf(std::string_view(utf8).substr(start, end - start));
      start = end + 1;
    }
  }

  // The UTF-8 of `gbk` into `out`; false at a sequence the table does not
  // hold. A pair gives at most three bytes, so the output is sized once and
  // written through a pointer; each entry (three bytes of text and their
  // length) is copied whole, the fourth byte overwritten next.
  bool Write(std::string& out, std::string_view gbk) const {
    out.resize(gbk.size() * 3 / 2 + 4);
    char* q = out.data();
    const auto* p = reinterpret_cast<const unsigned char*>(gbk.data());
    const auto* end = p + gbk.size();
    while (p < end) {
      if (*p < 0x80) {
        *q++ = static_cast<char>(*p++);
        continue;
      }
      if (end - p < 2 || *p < kFirstLead || p[1] < kFirstTrail || p[1] >= kFirstTrail + kTrails)
        return false;
      const Entry& entry = utf8_[(p[0] - kFirstLead) * kTrails + (p[1] - kFirstTrail)];
      if (entry.length == 0) return false;
      std::memcpy(q, &entry, sizeof entry);
      q += entry.length;
      p += 2;
    }
    out.resize(static_cast<size_t>(q - out.data()));
    return true;
  }

  static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

 private:
  static constexpr int kFirstLead = 0x81, kLeads = 0xFE - 0x81 + 1;
  static constexpr int kFirstTrail = 0x40, kTrails = 0xFE - 0x40 + 1;

  struct Entry {
    char text[3];
    uint8_t length;  // 0: left to the converter
  };
  static_assert(sizeof(Entry) == 4);

  // One character of two or three UTF-8 bytes; anything else (an invalid
  // pair gave the replacement and more) is left to the converter.
  static Entry EntryOf(std::string_view piece) {
    Entry entry{};
    if (piece.size() < 2 || piece.size() > 3 || piece == kReplacement) return entry;
    const auto lead = static_cast<unsigned char>(piece[0]);
    if ((piece.size() == 2) != ((lead & 0xE0) == 0xC0)) return entry;
    if (piece.size() == 3 && (lead & 0xF0) != 0xE0) return entry;
    std::memcpy(entry.text, piece.data(), piece.size());
    entry.length = static_cast<uint8_t>(piece.size());
    return entry;
  }

  std::array<Entry, kLeads * kTrails> utf8_{};
};

const TwoByteTable& TwoBytes() {
  static const auto table = std::make_unique<TwoByteTable>();
  return *table;
}

void Release(Direction& direction) {
  std::lock_guard<std::mutex> guard(direction.lock);
  delete direction.converter;
  direction.converter = nullptr;
}

}  // namespace

namespace GbkText {

bool IsAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

std::string FromUtf8(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return Convert(g_fromUtf8, "GB18030", "UTF-8", utf8, "?", PrivateUseGbk);
}

std::string ToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  std::string utf8;
  if (TwoBytes().Write(utf8, gbk)) return utf8;
  return Convert(g_toUtf8, "UTF-8", "GB18030", gbk, TwoByteTable::kReplacement, nullptr);
}

void ReleaseConverters() {
  Release(g_fromUtf8);
  Release(g_toUtf8);
}

}  // namespace GbkText
