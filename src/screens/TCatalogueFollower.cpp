#include "TCatalogueFollower.h"

#include <QMetaObject>
#include <algorithm>
#include <unordered_set>

#include "CatalogueEvents.h"
#include "HandlerConnect.h"
#include "TItemManager.h"
#include "TMDIChild.h"

namespace {

// The followers of the open windows, for the entries their editors show.
std::vector<TCatalogueFollower*>& Followers() {
  static std::vector<TCatalogueFollower*> followers;
  return followers;
}

}  // namespace

TCatalogueFollower::TCatalogueFollower(TMDIChild* window, std::function<void()> refresh, THeld held)
    : window_(window), refresh_(std::move(refresh)), held_(std::move(held)) {
  token_ = CatalogueEvents::Subscribe([this] { Changed(); });
  Followers().push_back(this);
  if (window) window->SetRefreshHandler([] { CatchUpWithOtherDesks(); });
}

TCatalogueFollower::~TCatalogueFollower() {
  CatalogueEvents::Unsubscribe(token_);
  auto& followers = Followers();
  followers.erase(std::remove(followers.begin(), followers.end(), this), followers.end());
}

// The entries the open windows' editors show.
std::unordered_set<const TBaseItem*> TCatalogueFollower::HeldEntries() {
  std::unordered_set<const TBaseItem*> held;
  for (const TCatalogueFollower* follower : Followers())
    if (follower->held_)
      for (const TBaseItem* entry : follower->held_()) held.insert(entry);
  return held;
}

bool TCatalogueFollower::CatchUpWithOtherDesks() {
  TItemManager* catalogue = TItemManager::AccessInstance(0);
  if (!catalogue) return false;  // nothing read yet: the first window reads it as it is
  const auto held = HeldEntries();
  if (!catalogue->CatchUpIfChangedElsewhere(
          [&held](const TBaseItem* entry) { return held.count(entry) > 0; }))
    return false;
  CatalogueEvents::Publish();
  return true;
}

void TCatalogueFollower::CatchUpNow() {
  TItemManager* catalogue = TItemManager::AccessInstance(0);
  if (!catalogue) return;
  const auto held = HeldEntries();
  catalogue->CatchUp([&held](const TBaseItem* entry) { return held.count(entry) > 0; });
  CatalogueEvents::Publish();
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
