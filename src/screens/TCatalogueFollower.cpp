#include "TCatalogueFollower.h"

#include <QMetaObject>

#include "CatalogueEvents.h"
#include "HandlerConnect.h"
#include "TMDIChild.h"

TCatalogueFollower::TCatalogueFollower(TMDIChild* window, std::function<void()> refresh)
    : window_(window), refresh_(std::move(refresh)) {
  token_ = CatalogueEvents::Subscribe([this] { Changed(); });
}

TCatalogueFollower::~TCatalogueFollower() {
  CatalogueEvents::Unsubscribe(token_);
}

void TCatalogueFollower::Changed() {
  if (!window_ || window_->RunningCommand() || pending_) return;
  pending_ = true;
  // After the writing window's command has finished with its own trees.
  QMetaObject::invokeMethod(
      window_.data(),
      [this] {
        pending_ = false;
        RunHandler(refresh_);
      },
      Qt::QueuedConnection);
}
