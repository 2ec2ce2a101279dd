#pragma once

#include <QString>

/// How the code tables print values that are not text.
namespace CodeTableText {

/// A flag as the windows' radio groups name it: "是" or "否".
QString YesNo(bool flag);
/// A price with two decimals ("12.50").
QString Price(double price);

}  // namespace CodeTableText
