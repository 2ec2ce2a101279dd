#include "ThreadId.h"

#include <sys/syscall.h>
#include <unistd.h>

int32_t CurrentThreadId() {
  return static_cast<int32_t>(::gettid());
}
