#include "TextConversionCheck.h"

#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "GbkText.h"
#include "QtText.h"
#include "TCellText.h"

using FuzzCheck::Require;

namespace {

size_t Count(std::string_view text, char c) {
  size_t n = 0;
  for (char byte : text) n += byte == c;
  return n;
}

// True when well-formed UTF-8 holds a character of the private-use area
// U+E000..U+F8FF (encoded EE 80 80 .. EF A3 BF).
bool HoldsPrivateUse(std::string_view utf8) {
  for (size_t i = 0; i + 2 < utf8.size(); ++i) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const auto next = static_cast<unsigned char>(utf8[i + 1]);
    if (lead == 0xEE || (lead == 0xEF && next <= 0xA3)) return true;
  }
  return false;
}

// The characters of a GB18030 text: one byte below 0x80, four when a digit
// follows the lead byte, else two.
std::vector<std::string> Characters(const std::string& gbk) {
  std::vector<std::string> characters;
  for (size_t i = 0; i < gbk.size();) {
    size_t length = 1;
    if (static_cast<unsigned char>(gbk[i]) >= 0x80)
      length = i + 1 < gbk.size() && gbk[i + 1] >= '0' && gbk[i + 1] <= '9' ? 4 : 2;
    characters.push_back(gbk.substr(i, length));
    i += length;
  }
  return characters;
}

// The sort key: the GBK bytes, an ASCII letter standing for its lower case.
std::string SortKey(std::string_view utf8) {
  std::string key;
  for (const std::string& c : Characters(GbkText::FromUtf8(utf8)))
    key += c.size() == 1 && c[0] >= 'A' && c[0] <= 'Z' ? std::string(1, c[0] - 'A' + 'a') : c;
  return key;
}

int Sign(int value) {
  return (value > 0) - (value < 0);
}

// The name order of the SQLite connections (two texts separated by a NUL).
void CheckGbkOrder(std::string_view input) {
  const std::vector<std::string> f = FuzzCheck::Fields(input, 2);
  const int order = TCellText::CompareAsGbk(f[0], f[1]);
  Require(order == -TCellText::CompareAsGbk(f[1], f[0]), "the GBK order is antisymmetric", input);
  Require(order == Sign(SortKey(f[0]).compare(SortKey(f[1]))),
          "the GBK order is the order of the GBK bytes, ASCII letters without case", input);
}

}  // namespace

void CheckTextConversion(std::string_view input) {
  const std::string gbk(input);
  const std::string utf8 = GbkText::ToUtf8(gbk);
  Require(FuzzCheck::IsValidUtf8(utf8), "GBK becomes well-formed UTF-8", input);
  if (FuzzCheck::IsValidGbk(gbk)) {
    Require(GbkText::FromUtf8(utf8) == gbk, "valid GBK round-trips", input);
    Require(QtText::FromQ(QtText::ToQ(gbk)) == gbk, "valid GBK round-trips through QString", input);
  }

  const std::string written = GbkText::FromUtf8(input);
  Require(GbkText::FromUtf8(GbkText::ToUtf8(written)) == written,
          "converted text survives the trip to UTF-8 and back", input);
  if (FuzzCheck::IsValidUtf8(input)) {
    Require(Count(written, '?') == Count(input, '?'), "no character is lost as \"?\"", input);
    // Some private-use characters come back as the characters GB18030 now
    // gives their GBK codes.
    if (!HoldsPrivateUse(input))
      Require(GbkText::ToUtf8(written) == input, "well-formed UTF-8 round-trips", input);
  }
  TCellBuffer cell;
  TCellText::AppendUtf8AsGbk(cell, input);
  Require(std::string_view(cell.data(), cell.size()) == written,
          "the table path writes what the converter writes", input);
  CheckGbkOrder(input);
}
