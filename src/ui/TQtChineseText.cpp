#include "TQtChineseText.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

TQtChineseText::TQtChineseText() {
  if (QtSpeaksChinese()) return;
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return;  // not installed: Qt's English texts stay
  if (QCoreApplication::installTranslator(translator.get())) translator_ = std::move(translator);
}

TQtChineseText::~TQtChineseText() {
  if (translator_) QCoreApplication::removeTranslator(translator_.get());
}

bool TQtChineseText::QtSpeaksChinese() {
  // The text Qt gives every dialog's Cancel button.
  return QCoreApplication::translate("QPlatformTheme", "Cancel") == QStringLiteral("取消");
}
