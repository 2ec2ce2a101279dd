#include "TextConversionCheck.h"

#include <string>

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
  std::string cell;
  TCellText::AppendUtf8AsGbk(cell, input);
  Require(cell == written, "the table path writes what the converter writes", input);
}
