#include "TLinkWatchdog.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>

std::set<int> TLinkWatchdog::Sockets() {
  std::set<int> found;
  DIR* dir = ::opendir("/proc/self/fd");
  if (!dir) return found;
  const int own = ::dirfd(dir);
  while (dirent* entry = ::readdir(dir)) {
    char* end = nullptr;
    const long fd = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || fd == own) continue;
    struct stat st {};
    if (::fstat(static_cast<int>(fd), &st) == 0 && S_ISSOCK(st.st_mode))
      found.insert(static_cast<int>(fd));
  }
  ::closedir(dir);
  return found;
}

TLinkWatchdog::Guard::Guard(std::set<int> sockets, std::set<int> before, int seconds)
    : sockets_(std::move(sockets)), before_(std::move(before)) {
  if (seconds > 0) thread_ = std::thread([this, seconds] { Watch(seconds); });
}

TLinkWatchdog::Guard::~Guard() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void TLinkWatchdog::Guard::Watch(int seconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (wake_.wait_for(lock, std::chrono::seconds(seconds), [this] { return done_; })) return;
  std::set<int> targets = sockets_;
  if (targets.empty())
    for (int fd : Sockets())
      if (!before_.count(fd)) targets.insert(fd);
  // shutdown, not close: the descriptor stays the driver's, which closes it
  // when it lets the dead connection go.
  for (int fd : targets) ::shutdown(fd, SHUT_RDWR);
  fired_.store(true);
}
