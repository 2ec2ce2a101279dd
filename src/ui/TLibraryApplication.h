#pragma once

#include "TApplication.h"

/// The library's own application object: shows errors through the prompt
/// service, so tests can read them and answer them.
class TLibraryApplication : public TApplication {
 public:
  void ShowException(const std::exception& error) override;
};
