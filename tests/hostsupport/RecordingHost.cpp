#include "RecordingHost.h"

#include <QCoreApplication>

RecordingHost::RecordingHost() : area_(std::make_unique<QMdiArea>()) {
  area_->resize(1024, 768);
  area_->show();
}

RecordingHost::~RecordingHost() {
  area_.reset();
  ProcessPendingEvents();
}

long RecordingHost::QueryInterface(const TGUID&, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE_RESULT;
}

QWidget* RecordingHost::GetFormOwner() {
  return OwnerOverride ? OwnerOverride : static_cast<QWidget*>(area_.get());
}

void RecordingHost::MDIChildClose(TMDIChild* window, TCloseAction& action) {
  Record("close", window);
  LastProposedClose = action;
  action = CloseAnswer;
}

std::vector<std::string> RecordingHost::Names(const TMDIChild* window) const {
  std::vector<std::string> names;
  for (const auto& e : Events)
    if (!window || e.Window == window) names.push_back(e.What);
  return names;
}

void ProcessPendingEvents() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}
