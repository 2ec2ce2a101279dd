#pragma once

#include <QString>
#include <string>

/// The host's side of the library's text: every string that crosses the
/// boundary (window names, messages, the user's name and rights) is GBK.
/// Qt converts it (GB18030, which is GBK for every GBK character).
class HostText {
 public:
  static QString FromGbk(const std::string& gbk);
  static std::string ToGbk(const QString& text);
  /// GBK text as UTF-8, for the terminal.
  static std::string ToUtf8(const std::string& gbk) { return FromGbk(gbk).toStdString(); }
};
