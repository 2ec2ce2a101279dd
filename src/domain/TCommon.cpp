#include "TCommon.h"

#include <iterator>

#include "Exceptions.h"
#include "SingletonAccess.h"

namespace {

TCommon* g_instance = nullptr;

struct LetterRange {
  uint16_t first;
  uint16_t last;
  char letter;
};

// Level-1 GB2312 characters are ordered by pinyin, so each initial covers one
// range of codes (I, U and V begin no reading).
constexpr LetterRange kRanges[] = {
    {0xB0A1, 0xB0C4, 'A'}, {0xB0C5, 0xB2C0, 'B'}, {0xB2C1, 0xB4ED, 'C'}, {0xB4EE, 0xB6E9, 'D'},
    {0xB6EA, 0xB7A1, 'E'}, {0xB7A2, 0xB8C0, 'F'}, {0xB8C1, 0xB9FD, 'G'}, {0xB9FE, 0xBBF6, 'H'},
    {0xBBF7, 0xBFA5, 'J'}, {0xBFA6, 0xC0AB, 'K'}, {0xC0AC, 0xC2E7, 'L'}, {0xC2E8, 0xC4C2, 'M'},
    {0xC4C3, 0xC5B5, 'N'}, {0xC5B6, 0xC5BD, 'O'}, {0xC5BE, 0xC6D9, 'P'}, {0xC6DA, 0xC8BA, 'Q'},
    {0xC8BB, 0xC8F5, 'R'}, {0xC8F6, 0xCBF9, 'S'}, {0xCBFA, 0xCDD9, 'T'}, {0xCDDA, 0xCEF3, 'W'},
    {0xCEF4, 0xD1B8, 'X'}, {0xD1B9, 0xD4D0, 'Y'}, {0xD4D1, 0xD7F9, 'Z'},
};

struct CodePoint {
  uint16_t code;
  char letter;
};

// Level-2 characters common in examination names (chemistry, elements).
constexpr CodePoint kCodePoints[] = {
    {0xDDC1, 'N'}, {0xDFC1, 'P'}, {0xE0AD, 'K'}, {0xE4E5, 'X'}, {0xEBB1, 'D'}, {0xEBD9, 'Y'},
    {0xEBEF, 'N'}, {0xEEDC, 'G'}, {0xEEE2, 'M'}, {0xEEEB, 'P'}, {0xEFA7, 'A'}, {0xEFAE, 'L'},
    {0xEFAF, 'G'}, {0xEFC8, 'S'}, {0xEFD3, 'G'}, {0xF4CA, 'T'}, {0xF4EF, 'F'},
};

constexpr size_t kMnemonicLength = 6;

}  // namespace

TCommon* TCommon::AccessInstance(int request) {
  return AccessSingleton(g_instance, request, [] { return new TCommon(); });
}

TCommon::~TCommon() {
  if (g_instance == this) AccessInstance(2);
}

std::string TCommon::GetPYCode(const std::string& text) const {
  std::string initials = GetPYInitials(text);
  if (initials.size() > kMnemonicLength) initials.resize(kMnemonicLength);
  return initials;
}

std::string TCommon::GetPYInitials(const std::string& text) const {
  std::string result;
  result.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    const auto first = static_cast<unsigned char>(text[pos]);
    if (first < 0x80) {
      result += static_cast<char>(first);
      ++pos;
      continue;
    }
    const unsigned second = pos + 1 < text.size() ? static_cast<unsigned char>(text[pos + 1]) : 0;
    result += GetPYInitial(static_cast<uint16_t>(first * 256 + second));
    pos += 2;
  }
  return result;
}

char TCommon::GetPYInitial(uint16_t code) const {
  for (const LetterRange& range : kRanges)
    if (code >= range.first && code <= range.last) return range.letter;
  for (const CodePoint& point : kCodePoints)
    if (code == point.code) return point.letter;
  return ' ';
}
