#include "TestRelay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

int ListenOnLoopback(int& port, int backlog) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("relay: socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, backlog) != 0) {
    ::close(fd);
    throw std::runtime_error("relay: cannot listen on 127.0.0.1");
  }
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return fd;
}

int ConnectUnix(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool WriteAll(int fd, const char* data, ssize_t size) {
  while (size > 0) {
    const ssize_t n = ::send(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL);
    if (n <= 0) return false;
    data += n;
    size -= n;
  }
  return true;
}

}  // namespace

TestRelay::TestRelay(std::string unixSocketPath) : target_(std::move(unixSocketPath)) {
  listener_ = ListenOnLoopback(port_, 64);
  thread_ = std::thread([this] { Loop(); });
}

TestRelay::~TestRelay() {
  stop_.store(true);
  thread_.join();
  ::close(listener_);
}

void TestRelay::Loop() {
  using Clock = std::chrono::steady_clock;
  // Bytes read from one side, to be written to the other at `Due`.
  struct Chunk {
    Clock::time_point Due;
    std::string Bytes;
  };
  struct Pair {
    int Client, Server;
    std::deque<Chunk> Waiting[2];  // [0] to the server, [1] to the client
  };
  std::vector<Pair> pairs;
  auto closePair = [&](size_t i) {
    ::close(pairs[i].Client);
    ::close(pairs[i].Server);
    pairs.erase(pairs.begin() + static_cast<ptrdiff_t>(i));
    open_.store(static_cast<int>(pairs.size()));
  };
  // Writes the chunks whose time has come; false when a side is gone.
  auto flush = [&](Pair& p) {
    for (int side = 0; side < 2; ++side) {
      auto& queue = p.Waiting[side];
      while (!queue.empty() && queue.front().Due <= Clock::now()) {
        const std::string& bytes = queue.front().Bytes;
        if (!WriteAll(side == 0 ? p.Server : p.Client, bytes.data(),
                      static_cast<ssize_t>(bytes.size())))
          return false;
        queue.pop_front();
      }
    }
    return true;
  };
  char buffer[65536];
  while (!stop_.load()) {
    std::vector<pollfd> fds;
    fds.push_back({listener_, POLLIN, 0});
    // Until the first waiting chunk is due (to the microsecond: a poll in
    // whole milliseconds would spin through the last one), at most 50 ms.
    auto wait = std::chrono::microseconds(50000);
    for (const Pair& p : pairs) {
      fds.push_back({p.Client, POLLIN, 0});
      fds.push_back({p.Server, POLLIN, 0});
      for (const auto& queue : p.Waiting)
        if (!queue.empty())
          wait = std::min(wait, std::max(std::chrono::microseconds(0),
                                         std::chrono::duration_cast<std::chrono::microseconds>(
                                             queue.front().Due - Clock::now())));
    }
    const timespec timeout{static_cast<time_t>(wait.count() / 1000000),
                           static_cast<long>(wait.count() % 1000000) * 1000};
    const int ready = ::ppoll(fds.data(), fds.size(), &timeout, nullptr);
    for (size_t i = pairs.size(); i-- > 0;)
      if (!flush(pairs[i])) closePair(i);
    if (ready <= 0) continue;
    // Pairs first (indices of fds follow pairs), from the end so that a
    // closed pair does not move the ones still to be looked at. Pairs
    // closed by the flush above are not in `fds` any more: their indices
    // are past the pairs left, since a closed pair shifts only later ones.
    for (size_t i = std::min(pairs.size(), (fds.size() - 1) / 2); i-- > 0;) {
      for (int side = 0; side < 2; ++side) {
        const pollfd& f = fds[1 + 2 * i + side];
        if (f.fd != (side == 0 ? pairs[i].Client : pairs[i].Server)) break;
        if (!(f.revents & (POLLIN | POLLHUP | POLLERR))) continue;
        const ssize_t n = ::recv(f.fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
          closePair(i);
          break;
        }
        if (mode_.load() == Mode::Swallow) continue;  // read and dropped
        const auto delay = std::chrono::microseconds(delayMicros_.load());
        if (delay.count() > 0) {
          pairs[i].Waiting[side].push_back(
              {Clock::now() + delay, std::string(buffer, static_cast<size_t>(n))});
          continue;
        }
        const int other = side == 0 ? pairs[i].Server : pairs[i].Client;
        if (!WriteAll(other, buffer, n)) {
          closePair(i);
          break;
        }
      }
    }
    if (fds[0].revents & POLLIN) {
      const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      const int limit = limit_.load();
      if (mode_.load() == Mode::Refuse || (limit >= 0 && forwarded_.load() >= limit)) {
        ::close(client);
        continue;
      }
      const int server = ConnectUnix(target_);
      if (server < 0) {
        ::close(client);
        continue;
      }
      pairs.push_back({client, server, {}});
      forwarded_.fetch_add(1);
      open_.store(static_cast<int>(pairs.size()));
    }
  }
  while (!pairs.empty()) closePair(pairs.size() - 1);
}

TestSilentListener::TestSilentListener() {
  listener_ = ListenOnLoopback(port_, 64);
}

TestSilentListener::~TestSilentListener() {
  ::close(listener_);
}
