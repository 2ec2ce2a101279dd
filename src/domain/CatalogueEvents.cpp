#include "CatalogueEvents.h"

#include <map>
#include <mutex>
#include <vector>

namespace CatalogueEvents {

namespace {

std::mutex g_mutex;
int g_next = 0;

std::map<int, TListener>& Listeners() {
  static std::map<int, TListener> listeners;
  return listeners;
}

}  // namespace

int Subscribe(TListener listener) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Listeners()[++g_next] = std::move(listener);
  return g_next;
}

void Unsubscribe(int token) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Listeners().erase(token);
}

int ListenerCount() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return static_cast<int>(Listeners().size());
}

void Publish() {
  std::vector<std::pair<int, TListener>> now;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    now.assign(Listeners().begin(), Listeners().end());
  }
  for (const auto& [token, listener] : now) {
    bool still = false;
    {
      std::lock_guard<std::mutex> lock(g_mutex);
      still = Listeners().count(token) > 0;  // ended by an earlier listener
    }
    if (still) listener();
  }
}

}  // namespace CatalogueEvents
