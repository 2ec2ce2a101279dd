#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

/// A relay on the loopback for the server suites: it listens on 127.0.0.1
/// (a port of its own) and forwards each connection to a Unix socket (the
/// test server's), so that tests can make the network fail between the
/// library and the server:
///  - Forward: bytes pass both ways;
///  - Swallow: bytes from either side are read and dropped, nothing is
///    answered and nothing is closed (a link whose packets are lost);
///  - Refuse: new connections are closed at once (open ones still forward).
/// A connection limit closes connections beyond it as Refuse does. A delay
/// holds every chunk of bytes that long before it is passed on, each way (a
/// round trip costs twice the delay: a slower network, for benchmarks). One
/// thread, polling every 50 ms (sooner while a chunk waits); it stops with
/// the object. Listens and
/// connects on the loopback only.
class TestRelay {
 public:
  enum class Mode { Forward, Swallow, Refuse };

  explicit TestRelay(std::string unixSocketPath);
  ~TestRelay();
  TestRelay(const TestRelay&) = delete;
  TestRelay& operator=(const TestRelay&) = delete;

  int Port() const { return port_; }
  void SetMode(Mode mode) { mode_.store(mode); }
  /// Connections accepted and forwarded from now on beyond `count` are
  /// refused (-1: no limit).
  void SetConnectionLimit(int count) { limit_.store(count); }
  /// Each chunk is passed on `delay` after it arrived (0: at once).
  void SetDelay(std::chrono::microseconds delay) { delayMicros_.store(delay.count()); }
  /// Connections forwarded so far (accepted and not refused).
  int Forwarded() const { return forwarded_.load(); }
  /// Connections open through the relay now.
  int Open() const { return open_.load(); }

 private:
  void Loop();

  std::string target_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<Mode> mode_{Mode::Forward};
  std::atomic<int> limit_{-1};
  std::atomic<long long> delayMicros_{0};
  std::atomic<int> forwarded_{0};
  std::atomic<int> open_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

/// A listener on 127.0.0.1 that never accepts: connects complete in the
/// kernel and then nothing is ever answered (a server that hangs).
class TestSilentListener {
 public:
  TestSilentListener();
  ~TestSilentListener();
  TestSilentListener(const TestSilentListener&) = delete;
  TestSilentListener& operator=(const TestSilentListener&) = delete;
  int Port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = 0;
};
