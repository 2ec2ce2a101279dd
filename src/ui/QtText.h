#pragma once

#include <QString>
#include <string>

/// The one step between the system's GBK strings and Qt's text.
namespace QtText {

/// GBK bytes -> QString.
QString ToQ(const std::string& gbk);

/// QString -> GBK bytes. Characters outside GBK are kept (GB18030 form).
std::string FromQ(const QString& text);

}  // namespace QtText
