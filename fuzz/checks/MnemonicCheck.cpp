#include "MnemonicCheck.h"

#include <string>

#include "FuzzCheck.h"
#include "TCommon.h"

using FuzzCheck::Require;

void CheckMnemonic(std::string_view input) {
  const std::string text(input);
  const TCommon common;
  const std::string initials = common.GetPYInitials(text);
  size_t out = 0;
  for (size_t pos = 0; pos < text.size(); ++out) {
    Require(out < initials.size(), "one initial per character", text);
    const auto first = static_cast<unsigned char>(text[pos]);
    if (first < 0x80) {
      Require(initials[out] == text[pos], "single-byte characters are copied", text);
      pos += 1;
      continue;
    }
    const unsigned second = pos + 1 < text.size() ? static_cast<unsigned char>(text[pos + 1]) : 0;
    const unsigned code = first * 256 + second;
    const char letter = initials[out];
    const bool isLetter =
        letter >= 'A' && letter <= 'Z' && letter != 'I' && letter != 'U' && letter != 'V';
    Require(isLetter || letter == ' ', "a pair gives an initial or a space", text);
    if (code >= 0xB0A1 && code <= 0xD7F9) Require(isLetter, "level-1 codes give a letter", text);
    if (code < 0xB0A1) Require(letter == ' ', "codes below the level-1 block give a space", text);
    pos += 2;
  }
  Require(out == initials.size(), "nothing but the initials", text);
  Require(common.GetPYCode(text) == initials.substr(0, 6), "the mnemonic is six initials", text);
}
