#pragma once
// The millisecond clock and sleeping. Any thread.

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, wrapping at 2^32 (a monotonic clock).
std::uint32_t TimeGetTime();
// Sleeps at least `ms` milliseconds; 0 yields.
void Sleep(std::uint32_t ms);

}  // namespace platform
