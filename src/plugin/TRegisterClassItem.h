#pragma once

#include <string>

class IWinMain;
class TMDIChild;

/// A maintenance-window class as the registry knows it: its class name and
/// the factory that constructs it with the host interface and completes its
/// creation. A TMDIChildClass ("class reference") points at one of these.
struct TMDIChildClassInfo {
  const char* ClassName;
  TMDIChild* (*Construct)(IWinMain* host);
};
using TMDIChildClass = const TMDIChildClassInfo*;

/// One registry entry: the name a window is found under and its class.
class TRegisterClassItem {
 public:
  std::string MDIChildName;
  TMDIChildClass MDIChildClass = nullptr;

  /// The collection's display name of the entry: the name, or the default
  /// display name when it is empty.
  std::string DisplayName() const;
};
