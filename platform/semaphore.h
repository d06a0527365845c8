#pragma once
// A counting semaphore with a maximum count and waits with a time-out in milliseconds.
// Any thread.

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

inline constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

class Semaphore {
  public:
    // 0 <= initial <= maximum, maximum >= 1 (out-of-range values are clamped).
    Semaphore(int initial, int maximum);
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    // Takes one count, waiting at most `timeoutMs` (kInfinite: without limit). False on a
    // time-out; the count is then unchanged.
    bool Wait(std::uint32_t timeoutMs);
    // Adds `count`. Refused (false, count unchanged) when the result would exceed the maximum.
    bool Release(int count = 1);
    int Count() const;

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int count_;
    int maximum_;
};

}  // namespace platform
