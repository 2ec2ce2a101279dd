#include "FieldConvert.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "Exceptions.h"
#include "QtText.h"

namespace FieldConvert {

namespace {

[[noreturn]] void NotANumber(const QString& text, const QString& fieldName, const char* kind) {
  throw Exception(
      FormatText("%s“%s”不是有效的%s。", {QtText::FromQ(fieldName), QtText::FromQ(text), kind}));
}

[[noreturn]] void Empty(const QString& fieldName, const char* kind) {
  throw Exception(FormatText("%s不能为空，请输入%s。", {QtText::FromQ(fieldName), kind}));
}

[[noreturn]] void TooLarge(const QString& fieldName, const std::string& largest) {
  throw Exception(FormatText("%s超出范围：最大为%s。", {QtText::FromQ(fieldName), largest}));
}

// The text as ASCII: a Chinese input method types full-width forms
// (U+FF01..U+FF5E mirror ASCII 0x21..0x7E), the ideographic space and, in
// Chinese punctuation mode, "。" for the point key.
QString AsciiForms(const QString& text) {
  QString ascii;
  ascii.reserve(text.size());
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u >= 0xFF01 && u <= 0xFF5E)
      ascii += QChar(char16_t(u - 0xFEE0));
    else if (u == 0x3000)
      ascii += QLatin1Char(' ');
    else if (u == 0x3002)
      ascii += QLatin1Char('.');
    else
      ascii += c;
  }
  return ascii.trimmed();
}

// Sign, digits (grouped by thousands or not) and an optional fraction:
// nothing else reaches the number parser, so it never sees an exponent,
// "inf", "nan" or a hex form. Returns the plain digits, or empty.
std::string PlainDecimal(const QString& ascii, bool fraction) {
  static const QRegularExpression decimal(
      QStringLiteral("^[+-]?([0-9]+|[0-9]{1,3}(,[0-9]{3})+)(\\.[0-9]*)?$|^[+-]?\\.[0-9]+$"));
  static const QRegularExpression integer(QStringLiteral("^[+-]?([0-9]+|[0-9]{1,3}(,[0-9]{3})+)$"));
  if (!(fraction ? decimal : integer).match(ascii).hasMatch()) return {};
  std::string plain = ascii.toStdString();
  std::erase(plain, ',');
  if (plain.front() == '+') plain.erase(0, 1);
  return plain;
}

}  // namespace

int ToInteger(const QString& text, const QString& fieldName) {
  const QString ascii = AsciiForms(text);
  if (ascii.isEmpty()) Empty(fieldName, "整数");
  const std::string digits = PlainDecimal(ascii, false);
  if (digits.empty()) NotANumber(text, fieldName, "整数");
  int value = 0;
  auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error == std::errc::result_out_of_range)
    TooLarge(fieldName, std::to_string(std::numeric_limits<int>::max()));
  if (error != std::errc() || stop != digits.data() + digits.size())
    NotANumber(text, fieldName, "整数");
  return value;
}

double ToFloat(const QString& text, const QString& fieldName, double largest) {
  const QString ascii = AsciiForms(text);
  if (ascii.isEmpty()) Empty(fieldName, "数字");
  const std::string digits = PlainDecimal(ascii, true);
  if (digits.empty()) NotANumber(text, fieldName, "数字");
  double value = 0.0;
  auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                       std::chars_format::fixed);
  const bool tooLarge = error == std::errc::result_out_of_range || !std::isfinite(value) ||
                        // Stored with two decimals: 9999999999.995 would be written as
                        // 10000000000.00, past the column.
                        std::abs(std::round(value * 100)) > std::round(largest * 100);
  if (tooLarge) TooLarge(fieldName, QtText::FromQ(QString::number(largest, 'f', 2)));
  if (error != std::errc() || stop != digits.data() + digits.size())
    NotANumber(text, fieldName, "数字");
  return value;
}

bool IsFloat(const QString& text, double largest) {
  try {
    ToFloat(text, QString(), largest);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

QString ShortestDecimal(double value) {
  // Fixed notation: the shortest form overall writes a million as "1e+06",
  // which ToFloat refuses when the shown price is saved again.
  char buffer[400];  // the longest fixed form of a double is about 330 characters
  auto [stop, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (error != std::errc()) return QString::number(value, 'g', 17);
  return QString::fromLatin1(buffer, static_cast<qsizetype>(stop - buffer));
}

}  // namespace FieldConvert
