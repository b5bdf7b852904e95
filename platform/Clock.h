// The monotonic clock that deadlines are measured on.
#pragma once

#include <cstdint>

namespace zyostrel::platform {

// clock_gettime(CLOCK_MONOTONIC) as seconds x 1000000000 + nanoseconds.
uint64_t monotonicNanoseconds() noexcept;

}  // namespace zyostrel::platform
