#pragma once

#include <tesmira/TApplication.h>

class QString;
class QWidget;

/// The reference host's application object: shows errors that leave the
/// library's event handlers in a message box, or on standard error when the
/// host runs unattended.
class THostApplication : public TApplication {
 public:
  explicit THostApplication(bool unattended) : unattended_(unattended) {}
  void ShowException(const std::exception& error) override;
  int ErrorsShown() const { return errorsShown_; }
  /// The host's error box; its button reads 确定 whether or not Qt's own
  /// Chinese translation is installed.
  static void ShowErrorBox(QWidget* parent, const QString& caption, const QString& text);

 private:
  bool unattended_;
  int errorsShown_ = 0;
};
