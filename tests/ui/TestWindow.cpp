#include "TestWindow.h"

#include <QVBoxLayout>

#include "HandlerConnect.h"

TestWindow::TestWindow(IWinMain* host, RecordingHost* recorder, bool bindDestroy)
    : TMDIChild(host), recorder_(recorder) {
  OwnAction = new TPermissionAction(PermissionActions());
  OwnAction->FunctionCode = "TJXT201001";
  Frame = new QFrame(this);
  FrameAction = new TPermissionAction(Frame);
  FrameAction->FunctionCode = "TJXT201004";
  FrameAction->InvisibleIfNoRight = true;
  Button = new QPushButton(QStringLiteral("试"), Frame);
  GuardedButton = new QPushButton(QStringLiteral("存"), Frame);
  GuardButton(GuardedButton, FrameAction);
  auto* frameLayout = new QVBoxLayout(Frame);
  frameLayout->addWidget(Button);
  frameLayout->addWidget(GuardedButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Frame);
  ConnectHandler(Button, &QPushButton::clicked, this, [this] {
    if (OnButton) OnButton();
  });
  if (bindDestroy) BindOnDestroyToFormDestroy();
}

void TestWindow::FormCreate(QObject* sender) {
  TMDIChild::FormCreate(sender);
  if (recorder_) recorder_->Note("own-create", this);
  if (OwnCreationWork) OwnCreationWork();
}
