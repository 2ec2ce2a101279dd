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
  ShowErrorBox(QApplication::activeWindow(), QApplication::applicationDisplayName(), text);
}

void THostApplication::ShowErrorBox(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::NoButton, parent);
  box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
  box.exec();
}
