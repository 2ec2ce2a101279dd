#include "TestRelay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
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
  struct Pair {
    int Client, Server;
  };
  std::vector<Pair> pairs;
  auto closePair = [&](size_t i) {
    ::close(pairs[i].Client);
    ::close(pairs[i].Server);
    pairs.erase(pairs.begin() + static_cast<ptrdiff_t>(i));
    open_.store(static_cast<int>(pairs.size()));
  };
  char buffer[65536];
  while (!stop_.load()) {
    std::vector<pollfd> fds;
    fds.push_back({listener_, POLLIN, 0});
    for (const Pair& p : pairs) {
      fds.push_back({p.Client, POLLIN, 0});
      fds.push_back({p.Server, POLLIN, 0});
    }
    if (::poll(fds.data(), fds.size(), 50) <= 0) continue;
    // Pairs first (indices of fds follow pairs), from the end so that a
    // closed pair does not move the ones still to be looked at.
    for (size_t i = pairs.size(); i-- > 0;) {
      for (int side = 0; side < 2; ++side) {
        const pollfd& f = fds[1 + 2 * i + side];
        if (!(f.revents & (POLLIN | POLLHUP | POLLERR))) continue;
        const ssize_t n = ::recv(f.fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
          closePair(i);
          break;
        }
        if (mode_.load() == Mode::Swallow) continue;  // read and dropped
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
      pairs.push_back({client, server});
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
