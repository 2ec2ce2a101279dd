#include "TextConversionCheck.h"

#include <string>

#include "FuzzCheck.h"
#include "GbkText.h"
#include "QtText.h"
#include "TCellText.h"

using FuzzCheck::Require;

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
  if (FuzzCheck::IsValidUtf8(input))
    Require(GbkText::ToUtf8(written) == input, "well-formed UTF-8 round-trips", input);
  std::string cell;
  TCellText::AppendUtf8AsGbk(cell, input);
  Require(cell == written, "the table path writes what the converter writes", input);
}
