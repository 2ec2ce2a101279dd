#include "THostApplication.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>

#include "GbkText.h"

void THostApplication::ShowException(const std::exception& error) {
  ++errorsShown_;
  // The library's messages are GBK.
  const std::string utf8 = GbkText::ToUtf8(error.what());
  if (unattended_) {
    std::cerr << "error: " << utf8 << std::endl;
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                        QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}
