#include "TDateTime.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "Exceptions.h"

namespace {

// Days from 1970-01-01 for a civil date (proleptic Gregorian).
long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

constexpr long kUnixEpochInDays = 25569;  // 1970-01-01 counted from 1899-12-30

}  // namespace

TDateTime TDateTime::FromDate(int year, int month, int day) {
  return TDateTime(static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochInDays));
}

TDateTime TDateTime::Today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return FromDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

TDateTime TDateTime::Parse(const std::string& text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
  char sep = 0;
  // Whole seconds are read; a fraction after them is ignored (%d and %c
  // do not depend on the locale, unlike a floating-point conversion).
  int n = std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d", &y, &mo, &d, &sep, &h, &mi, &sec);
  if (n < 3 || mo < 1 || mo > 12 || d < 1 || d > 31 || (n > 3 && sep != ' ' && sep != 'T'))
    throw Exception("'" + text + "' is not a valid date");
  double days = static_cast<double>(DaysFromCivil(y, mo, d) + kUnixEpochInDays);
  if (n >= 6) days += (h * 3600.0 + mi * 60.0 + sec) / 86400.0;
  return TDateTime(days);
}

void TDateTime::DecodeDate(int& year, int& month, int& day) const {
  CivilFromDays(static_cast<long>(std::floor(days_)) - kUnixEpochInDays, year, month, day);
}

std::string TDateTime::FormatDate() const {
  int y, m, d;
  DecodeDate(y, m, d);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  return buf;
}

std::string TDateTime::FormatDateTime() const {
  double frac = days_ - std::floor(days_);
  long secs = std::lround(frac * 86400.0);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s %02ld:%02ld:%02ld", FormatDate().c_str(), secs / 3600,
                secs / 60 % 60, secs % 60);
  return buf;
}
