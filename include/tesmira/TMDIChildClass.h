#pragma once

class IWinMain;
class TMDIChild;

/// A maintenance-window class as the library's registry knows it: its class
/// name and the factory that constructs it with the host interface and
/// completes its creation. A TMDIChildClass ("class reference") points at one
/// of these; hosts treat it as opaque apart from the class name.
struct TMDIChildClassInfo {
  const char* ClassName;
  TMDIChild* (*Construct)(IWinMain* host);
};
using TMDIChildClass = const TMDIChildClassInfo*;
