#include "FieldConvert.h"

#include <charconv>
#include <cmath>
#include <string>

#include "Exceptions.h"
#include "QtText.h"

namespace FieldConvert {

namespace {

[[noreturn]] void NotANumber(const QString& text, const QString& fieldName, const char* kind) {
  throw Exception(
      FormatText("%s“%s”不是有效的%s。", {QtText::FromQ(fieldName), QtText::FromQ(text), kind}));
}

}  // namespace

int ToInteger(const QString& text, const QString& fieldName) {
  const std::string digits = text.trimmed().toStdString();
  int value = 0;
  const char* end = digits.data() + digits.size();
  const char* begin = digits.data();
  if (!digits.empty() && *begin == '+' && digits.size() > 1 && begin[1] != '-') ++begin;
  auto [stop, error] = std::from_chars(begin, end, value);
  if (digits.empty() || error != std::errc() || stop != end) NotANumber(text, fieldName, "整数");
  return value;
}

double ToFloat(const QString& text, const QString& fieldName) {
  const std::string digits = text.trimmed().toStdString();
  double value = 0.0;
  const char* end = digits.data() + digits.size();
  const char* begin = digits.data();
  if (!digits.empty() && *begin == '+' && digits.size() > 1 && begin[1] != '-') ++begin;
  auto [stop, error] = std::from_chars(begin, end, value);
  if (digits.empty() || error != std::errc() || stop != end || !std::isfinite(value))
    NotANumber(text, fieldName, "数字");
  return value;
}

bool IsFloat(const QString& text) {
  try {
    ToFloat(text, QString());
    return true;
  } catch (const Exception&) {
    return false;
  }
}

QString ShortestDecimal(double value) {
  char buffer[64];
  auto [stop, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (error != std::errc()) return QString::number(value, 'g', 17);
  return QString::fromLatin1(buffer, static_cast<qsizetype>(stop - buffer));
}

}  // namespace FieldConvert
