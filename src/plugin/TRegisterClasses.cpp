#include "TRegisterClasses.h"

#include <stdexcept>

TRegisterClassItem& TRegisterClasses::Add() {
  items_.push_back(std::make_unique<TRegisterClassItem>());
  return *items_.back();
}

TRegisterClassItem& TRegisterClasses::Items(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
  return *items_[static_cast<size_t>(index)];
}

std::string TRegisterClasses::NormaliseName(const std::string& name) {
  std::string upper = name;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  size_t first = 0, last = upper.size();
  while (first < last && isBlank(upper[first])) ++first;
  while (last > first && isBlank(upper[last - 1])) --last;
  return upper.substr(first, last - first);
}

TMDIChildClass TRegisterClasses::FindMDIChildClass(const std::string& name) const {
  const std::string wanted = NormaliseName(name);
  for (const auto& item : items_)
    if (NormaliseName(item->MDIChildName) == wanted) return item->MDIChildClass;
  return nullptr;
}

void TRegisterClasses::GetClassNames(std::string& names) const {
  names.clear();
  for (const auto& item : items_) names += item->MDIChildName + "\r\n";
}

void RegisterMDIChildClass(TRegisterClasses& registry, const std::string& name,
                           TMDIChildClass childClass) {
  TRegisterClassItem& item = registry.Add();
  bool blank = TRegisterClasses::NormaliseName(name).empty();
  // A blank name stands for the class's own name.
  item.MDIChildName = blank && childClass ? std::string(childClass->ClassName) : name;
  item.MDIChildClass = childClass;
}
