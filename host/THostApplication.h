#pragma once

#include <tesmira/TApplication.h>

class QWidget;

/// The reference host's application object: shows errors that leave the
/// library's event handlers in a message box, or on standard error when the
/// host runs unattended.
class THostApplication : public TApplication {
 public:
  explicit THostApplication(bool unattended) : unattended_(unattended) {}
  void ShowException(const std::exception& error) override;
  int ErrorsShown() const { return errorsShown_; }

 private:
  bool unattended_;
  int errorsShown_ = 0;
};
