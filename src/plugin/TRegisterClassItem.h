#pragma once

#include <string>

#include "TMDIChildClass.h"

/// One registry entry: the name a window is found under and its class.
class TRegisterClassItem {
 public:
  std::string MDIChildName;
  TMDIChildClass MDIChildClass = nullptr;

  /// The collection's display name of the entry: the name, or the default
  /// display name when it is empty.
  std::string DisplayName() const;
};
