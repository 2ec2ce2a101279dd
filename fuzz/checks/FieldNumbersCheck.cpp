#include "FieldNumbersCheck.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "Exceptions.h"
#include "FieldConvert.h"
#include "FuzzCheck.h"
#include "TDateTime.h"

using FuzzCheck::Require;

namespace {

template <class Convert>
auto Converted(Convert&& convert) -> std::optional<decltype(convert())> {
  try {
    return convert();
  } catch (const Exception&) {
    return std::nullopt;
  }
}

void CheckNumbers(const QString& text, std::string_view input) {
  const QString field = QStringLiteral("f");
  const double largest = 9999999999.99;  // the price column's
  const auto integer = Converted([&] { return FieldConvert::ToInteger(text, field); });
  // Full-width forms and thousands separators are read as well; for plain
  // ASCII without separators the rule is the plain 32-bit decimal.
  const std::string plain = text.trimmed().toStdString();
  bool ascii = true;
  for (QChar c : text) ascii = ascii && c.unicode() < 0x80;
  if (ascii && plain.find(',') == std::string::npos)
    Require(integer == FuzzCheck::PlainInteger(plain),
            "an integer is accepted exactly when it is a plain 32-bit decimal", input);
  const auto number = Converted([&] { return FieldConvert::ToFloat(text, field, largest); });
  Require(number.has_value() == FieldConvert::IsFloat(text, largest), "IsFloat agrees with ToFloat",
          input);
  if (integer && std::abs(double(*integer)) <= largest)
    Require(number && *number == *integer, "an integer is also a number", input);
  if (!number) return;
  Require(std::isfinite(*number) && std::abs(*number) < largest + 0.01,
          "an accepted number is finite and within the largest amount", input);
  for (char c : plain)
    Require(c != 'e' && c != 'E' && c != 'x' && c != 'X' && c != 'n' && c != 'N',
            "no exponent, hex, infinity or NaN is accepted", input);
  const QString shortest = FieldConvert::ShortestDecimal(*number);
  Require(FieldConvert::ToFloat(shortest, field, largest) == *number,
          "the shortest text reads back as the same number", input);
}

void CheckDate(const std::string& text, std::string_view input) {
  const auto date = Converted([&] { return TDateTime::Parse(text); });
  if (!date) return;
  int year = 0, month = 0, day = 0, hour = -1, minute = -1, second = -1;
  const std::string shown = date->FormatDateTime();
  char rest = 0;
  const int n = std::sscanf(shown.c_str(), "%d-%d-%d %d:%d:%d%c", &year, &month, &day, &hour,
                            &minute, &second, &rest);
  Require(n == 6 && month >= 1 && month <= 12 && day >= 1 && day <= 31,
          "an accepted date formats as a date: " + shown, input);
  Require(hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59,
          "an accepted date formats with a time of day: " + shown, input);
  const double again = TDateTime::Parse(shown).Days();
  Require(std::fabs(again - date->Days()) * 86400.0 < 0.5,
          "the formatted moment reads back as the same moment: " + shown, input);
}

}  // namespace

void CheckFieldNumbers(std::string_view input) {
  const std::string text(input);
  CheckNumbers(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), input);
  CheckDate(text, input);
}
