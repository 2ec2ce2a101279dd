#include "TRegisterClassItem.h"

std::string TRegisterClassItem::DisplayName() const {
  return MDIChildName.empty() ? std::string("TRegisterClassItem") : MDIChildName;
}
