#pragma once

#include <QString>

/// Conversions of field texts into numbers, as a save reads the fields.
/// A text that is not a number raises Exception naming the field, so the
/// save stops before anything is written.
namespace FieldConvert {

/// A 32-bit integer; blanks around the digits are allowed.
int ToInteger(const QString& text, const QString& fieldName);

/// A finite decimal number ("12.5", "-3", "1e2"); blanks around it allowed.
double ToFloat(const QString& text, const QString& fieldName);

/// True when ToFloat would accept `text`.
bool IsFloat(const QString& text);

/// The shortest decimal text that reads back as `value` (12.5 -> "12.5",
/// 0 -> "0").
QString ShortestDecimal(double value);

}  // namespace FieldConvert
