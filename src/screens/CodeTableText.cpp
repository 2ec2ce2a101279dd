#include "CodeTableText.h"

namespace CodeTableText {

QString YesNo(bool flag) {
  return flag ? QStringLiteral("是") : QStringLiteral("否");
}

QString Price(double price) {
  return QString::number(price, 'f', 2);
}

}  // namespace CodeTableText
