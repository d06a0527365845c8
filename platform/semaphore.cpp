#include "platform/semaphore.h"

#include <algorithm>
#include <chrono>

namespace platform {

Semaphore::Semaphore(int initial, int maximum)
    : count_(std::clamp(initial, 0, std::max(1, maximum))), maximum_(std::max(1, maximum)) {}

bool Semaphore::Wait(std::uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    auto available = [this] { return count_ > 0; };
    if (timeoutMs == kInfinite) {
        changed_.wait(lock, available);
    } else if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), available)) {
        return false;
    }
    --count_;
    return true;
}

bool Semaphore::Release(int count) {
    {
        std::lock_guard lock(mutex_);
        if (count < 1 || count > maximum_ - count_)
            return false;
        count_ += count;
    }
    changed_.notify_all();
    return true;
}

int Semaphore::Count() const {
    std::lock_guard lock(mutex_);
    return count_;
}

}  // namespace platform
