#pragma once

#include <memory>
#include <string>
#include <vector>

#include "TRegisterClassItem.h"

/// The window registry: entries in registration order, duplicates allowed,
/// the first match wins. It owns its entries.
class TRegisterClasses {
 public:
  /// Appends an empty entry and returns it.
  TRegisterClassItem& Add();
  TRegisterClassItem& Items(int index);
  int Count() const { return static_cast<int>(items_.size()); }

  /// The class of the first entry whose normalised name equals the
  /// normalised request, or null.
  TMDIChildClass FindMDIChildClass(const std::string& name) const;
  /// Every name followed by CR LF, in registration order.
  void GetClassNames(std::string& names) const;

  /// ASCII a-z upper-cased byte by byte, then leading and trailing bytes of
  /// code 32 or less removed.
  static std::string NormaliseName(const std::string& name);

 private:
  std::vector<std::unique_ptr<TRegisterClassItem>> items_;
};

/// Appends an entry: a name that is blank after trimming takes the class
/// name, any other name is kept exactly as passed.
void RegisterMDIChildClass(TRegisterClasses& registry, const std::string& name,
                           TMDIChildClass childClass);
