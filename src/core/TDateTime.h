#pragma once

#include <string>

/// A date and time as the toolkit keeps it: days since 1899-12-30, the
/// fraction being the time of day. Zero is the "empty" date.
class TDateTime {
 public:
  TDateTime() = default;
  explicit TDateTime(double days) : days_(days) {}

  static TDateTime FromDate(int year, int month, int day);
  /// Today's local date, time of day 0.
  static TDateTime Today();
  /// Reads "yyyy-mm-dd", optionally followed by " hh:mm[:ss[.fff]]" or 'T'.
  /// Raises Exception on any other text.
  static TDateTime Parse(const std::string& text);

  double Days() const { return days_; }
  bool IsZero() const { return days_ == 0.0; }
  /// "yyyy-mm-dd".
  std::string FormatDate() const;
  /// "yyyy-mm-dd hh:mm:ss".
  std::string FormatDateTime() const;
  void DecodeDate(int& year, int& month, int& day) const;

  bool operator==(const TDateTime&) const = default;

 private:
  double days_ = 0.0;
};
