#include "GbkText.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

// One converter per direction and thread: iconv descriptors keep state and
// opening one costs far more than a conversion of a short field. They are
// held through plain thread-local pointers: a thread-local object with a
// destructor would keep the library from ever being unloaded.
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

}  // namespace

namespace GbkText {

bool IsAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

std::string FromUtf8(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  thread_local Converter* conv = nullptr;
  if (!conv) conv = new Converter("GB18030", "UTF-8");
  return conv->Run(utf8, "?");
}

std::string ToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  thread_local Converter* conv = nullptr;
  if (!conv) conv = new Converter("UTF-8", "GB18030");
  return conv->Run(gbk, "\xEF\xBF\xBD");
}

}  // namespace GbkText
