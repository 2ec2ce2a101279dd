#include "TStatementCounter.h"

#include <atomic>

namespace {

// Constant-initialised, so it counts from the first statement of any static
// initialiser and has nothing to destroy at unload.
std::atomic<std::uint64_t> g_sent{0};

}  // namespace

std::uint64_t TStatementCounter::Sent() {
  return g_sent.load(std::memory_order_relaxed);
}

void TStatementCounter::Add(std::uint64_t count) {
  g_sent.fetch_add(count, std::memory_order_relaxed);
}
