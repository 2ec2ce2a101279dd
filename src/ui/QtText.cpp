#include "QtText.h"

#include "GbkText.h"

namespace QtText {

QString ToQ(const std::string& gbk) {
  const std::string utf8 = GbkText::ToUtf8(gbk);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQ(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return GbkText::FromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

}  // namespace QtText
