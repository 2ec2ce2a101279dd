#include "WaitHook.h"

#include <atomic>

namespace {

// Constant-initialised: nothing to construct or destroy across an unload.
std::atomic<TWaitHook> g_hook{nullptr};

}  // namespace

TWaitHook SetWaitHook(TWaitHook hook) {
  return g_hook.exchange(hook);
}

void CallWaitHook() {
  if (TWaitHook hook = g_hook.load()) hook();
}
