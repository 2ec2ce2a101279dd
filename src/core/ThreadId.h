#pragma once

#include <cstdint>

/// The operating system's id of the calling thread (gettid): connections are
/// lent per thread id.
int32_t CurrentThreadId();
