#include "GbkText.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <type_traits>

namespace {

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

  std::string Run(std::string_view in, std::string_view replacement) {
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
      } else {  // EILSEQ or EINVAL: replace one byte and go on
        if (out.size() - used < replacement.size() + 1) out.resize(out.size() * 2 + 8);
        std::memcpy(out.data() + used, replacement.data(), replacement.size());
        used += replacement.size();
        ++src;
        --srcLeft;
      }
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

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
                    std::string_view replacement) {
  std::lock_guard<std::mutex> guard(direction.lock);
  if (!direction.converter) direction.converter = new Converter(to, from);
  return direction.converter->Run(in, replacement);
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
  return Convert(g_fromUtf8, "GB18030", "UTF-8", utf8, "?");
}

std::string ToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  return Convert(g_toUtf8, "UTF-8", "GB18030", gbk, "\xEF\xBF\xBD");
}

void ReleaseConverters() {
  Release(g_fromUtf8);
  Release(g_toUtf8);
}

}  // namespace GbkText
