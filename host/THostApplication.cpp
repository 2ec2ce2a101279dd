#include "THostApplication.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>

#include "HostText.h"

void THostApplication::ShowException(const std::exception& error) {
  ++errorsShown_;
  // The library's messages are GBK.
  const QString text = HostText::FromGbk(error.what());
  if (unattended_) {
    std::cerr << "error: " << text.toStdString() << std::endl;
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(), text);
}
