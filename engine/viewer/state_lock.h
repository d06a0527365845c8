#pragma once
// The engine's state lock for the length of a scope: waits at most 10 s for `lockSemaphore`;
// on a time-out it traces "\a*" and the scope goes on as if it held the lock. The release at
// the end is refused by the semaphore's maximum when nothing was taken, so counts never grow.

#include "engine/viewer/engine_services.h"
#include "engine/viewer/viewer_engine.h"

class StateLock {
public:
    explicit StateLock(platform::Semaphore* semaphore) : semaphore_(semaphore) {
        if (semaphore_ && !semaphore_->Wait(kStateLockTimeoutMs)) TraceEngineText("\a*");
    }
    explicit StateLock(ViewerEngine& engine) : StateLock(engine.lockSemaphore.get()) {}
    ~StateLock() { Unlock(); }
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;

    // Releases early (before a wait for frames, for example).
    void Unlock() {
        if (semaphore_) semaphore_->Release();
        semaphore_ = nullptr;
    }

    static constexpr std::uint32_t kStateLockTimeoutMs = 10000;

private:
    platform::Semaphore* semaphore_;
};
