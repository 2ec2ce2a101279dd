#pragma once

#include "TApplication.h"

/// The library's own application object: shows errors through the prompt
/// service, so tests can read them and answer them.
class TLibraryApplication : public TApplication {
 public:
  void ShowException(const std::exception& error) override;
};

/// The application object in force (the library's own until a host hands
/// over its own).
TApplication* CurrentApplication();
void SetCurrentApplication(TApplication* application);
/// The library's own application object.
TApplication* LibraryApplication();
