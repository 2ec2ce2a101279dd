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
  const auto integer = Converted([&] { return FieldConvert::ToInteger(text, field); });
  Require(integer == FuzzCheck::PlainInteger(text.trimmed().toStdString()),
          "an integer is accepted exactly when it is a plain 32-bit decimal", input);
  const auto number = Converted([&] { return FieldConvert::ToFloat(text, field); });
  Require(number.has_value() == FieldConvert::IsFloat(text), "IsFloat agrees with ToFloat", input);
  if (integer) Require(number && *number == *integer, "an integer is also a number", input);
  if (!number) return;
  Require(std::isfinite(*number), "an accepted number is finite", input);
  const QString shortest = FieldConvert::ShortestDecimal(*number);
  Require(FieldConvert::ToFloat(shortest, field) == *number,
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
