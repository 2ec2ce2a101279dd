#pragma once

#include <QString>

/// Conversions of field texts into numbers, as a save reads the fields.
/// Every price and number a window reads from a field goes through here, so
/// the same rules hold everywhere:
/// - what a Chinese input method types is read as its ASCII form: full-width
///   digits, signs and points ("１２．５"), the ideographic full stop "。" as
///   the decimal point, the ideographic space as a blank;
/// - thousands separators are accepted where they group three digits
///   ("1,000", "１，０００");
/// - only plain decimals: no exponent ("1e3"), no infinity, no NaN, no hex.
/// A refused text raises Exception naming the field, so the save stops
/// before anything is written.
namespace FieldConvert {

/// A 32-bit integer; blanks around the digits are allowed.
int ToInteger(const QString& text, const QString& fieldName);

/// A decimal number ("12.5", "-3") whose amount, rounded to the two
/// decimals it is stored with, is at most `largest` either way; a larger one
/// is refused with a message naming the field and the largest amount.
double ToFloat(const QString& text, const QString& fieldName, double largest);

/// True when ToFloat would accept `text`.
bool IsFloat(const QString& text, double largest);

/// The shortest decimal text without exponent that reads back as `value`
/// (12.5 -> "12.5", 0 -> "0", 1000000 -> "1000000").
QString ShortestDecimal(double value);

}  // namespace FieldConvert
