#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

/// The client-side bound of a wait inside an ODBC driver. A driver waiting
/// for a server that no longer answers (packets swallowed by the network)
/// blocks the calling thread in its socket read without limit: the server's
/// statement time-out cannot fire when the server is not reached. A guard
/// armed around the driver call shuts the connection's sockets down when the
/// bound passes; the driver's wait then ends at once with a failure of the
/// link, which the session reports as a lost connection.
class TLinkWatchdog {
 public:
  /// The socket descriptors the process holds now (from /proc/self/fd).
  static std::set<int> Sockets();

  /// Arms the bound: after `seconds`, shuts down `sockets`, or, when
  /// `sockets` is empty, every socket opened since `before` was taken (a
  /// connect whose socket is not known yet). Disarmed by the destructor.
  /// `seconds` <= 0: no bound.
  class Guard {
   public:
    Guard(std::set<int> sockets, std::set<int> before, int seconds);
    ~Guard();
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
    /// True when the bound passed and the sockets were shut down.
    bool Fired() const { return fired_.load(); }

   private:
    void Watch(int seconds);
    std::set<int> sockets_;
    std::set<int> before_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::atomic<bool> fired_{false};
    std::thread thread_;
  };
};
