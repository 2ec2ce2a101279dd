#pragma once

#include <exception>

/// The application object: the one duty the library relies on is showing an
/// error that left an event handler. The library has its own; a host hands
/// over its own through InitDLL. Header-only so a host can derive from it
/// without linking the library.
class TApplication {
 public:
  virtual ~TApplication() = default;
  /// Shows the error's message to the user (message box).
  virtual void ShowException(const std::exception& error) = 0;
};
