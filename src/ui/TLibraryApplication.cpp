#include "TLibraryApplication.h"

#include <QApplication>

#include "QtText.h"
#include "TPromptService.h"

namespace {
TApplication* g_current = nullptr;
}

TApplication* LibraryApplication() {
  static TLibraryApplication own;
  return &own;
}

TApplication* CurrentApplication() { return g_current ? g_current : LibraryApplication(); }

void SetCurrentApplication(TApplication* application) { g_current = application; }

void TLibraryApplication::ShowException(const std::exception& error) {
  // Messages are GBK byte strings throughout the system.
  TPromptService::Error(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                        QtText::ToQ(error.what()));
}
