#include "ThreadId.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The id is asked for by every persistent object a list load makes (100 000
// for the catalogue), and gettid is a system call: each thread keeps its
// own. A child process's thread starts afresh (its id is not its parent's).
thread_local int32_t t_threadId = 0;

void ForgetThreadIdInChild() {
  t_threadId = 0;
}

}  // namespace

int32_t CurrentThreadId() {
  if (t_threadId == 0) {
    static const int registered = pthread_atfork(nullptr, nullptr, &ForgetThreadIdInChild);
    (void)registered;
    t_threadId = static_cast<int32_t>(::gettid());
  }
  return t_threadId;
}
