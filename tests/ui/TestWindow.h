#pragma once

#include <QFrame>
#include <QPushButton>
#include <functional>

#include "RecordingHost.h"
#include "TMDIChild.h"
#include "TPermissionAction.h"

/// A small maintenance window for tests of the window base: one action in
/// its own list, one inside a frame, a button whose handler can fail.
class TestWindow : public TMDIChild {
 public:
  TestWindow(IWinMain* host, RecordingHost* recorder, bool bindDestroy = false);

  void FormCreate(QObject* sender) override;

  TPermissionAction* OwnAction;
  TPermissionAction* FrameAction;
  QFrame* Frame;
  QPushButton* Button;
  QPushButton* GuardedButton;  // paired with FrameAction before the first show
  std::function<void()> OnButton;
  std::function<void()> OwnCreationWork;

 private:
  RecordingHost* recorder_;
};
