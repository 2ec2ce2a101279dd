#pragma once

#include <memory>

class QTranslator;

/// While it lives, the dialogs Qt draws itself (the file and print dialogs,
/// the boxes they raise: "already exists, replace?") speak Chinese: when the
/// host has not loaded Qt's own Chinese translation (Debian package
/// qt6-translations-l10n), it is loaded for this while and removed again, so
/// the host's own language is left as the host chose it. Construct it before
/// the dialog: Qt words a dialog while building it.
class TQtChineseText {
 public:
  TQtChineseText();
  ~TQtChineseText();
  TQtChineseText(const TQtChineseText&) = delete;
  TQtChineseText& operator=(const TQtChineseText&) = delete;

  /// True when Qt's standard texts read in Chinese now (the host's
  /// translation, or one this object loaded).
  static bool QtSpeaksChinese();

 private:
  std::unique_ptr<QTranslator> translator_;  // null when none was needed or found
};
