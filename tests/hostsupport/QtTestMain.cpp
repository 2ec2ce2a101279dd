// GoogleTest main for tests that need Qt widgets: one QApplication for the
// whole run, on the offscreen platform unless told otherwise.
#include <gtest/gtest.h>

#include <QApplication>

#include "TPromptService.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // No test may wait for a person: unscripted prompts take their defaults.
  TPromptService::SetScripted(true);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
