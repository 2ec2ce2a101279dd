#include "HostText.h"

#include <QStringDecoder>
#include <QStringEncoder>

QString HostText::FromGbk(const std::string& gbk) {
  QStringDecoder decoder("GB18030");
  return decoder(QByteArrayView(gbk.data(), static_cast<qsizetype>(gbk.size())));
}

std::string HostText::ToGbk(const QString& text) {
  QStringEncoder encoder("GB18030");
  const QByteArray bytes = encoder(text);
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}
