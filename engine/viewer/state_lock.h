#pragma once
// The engine's state lock for the length of a scope: waits at most 10 s for `lockSemaphore`;
// on a time-out it traces "\a*" and the scope goes on as if it held the lock, releasing it at
// the end all the same (the semaphore's maximum of 1 keeps the count from growing).
//
// The lock is held per thread: a scope opened on a thread that already holds this engine's
// lock (the render thread inside a frame step, calling back into the engine from a draw
// callback) neither waits nor releases, instead of stalling for the whole time-out.

#include "engine/viewer/engine_services.h"
#include "engine/viewer/viewer_engine.h"

class StateLock {
  public:
    explicit StateLock(const ViewerEngine& engine) : engine_(&engine) {
        if (heldByThisThread == engine_ || !engine.lockSemaphore) {
            engine_ = nullptr;
            return;
        }
        semaphore_ = engine.lockSemaphore.get();
        if (!semaphore_->Wait(kStateLockTimeoutMs))
            TraceEngineText("\a*");
        previous_ = heldByThisThread;
        heldByThisThread = engine_;
    }
    ~StateLock() { Unlock(); }
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;

    // Releases early (before a wait for frames, for example).
    void Unlock() {
        if (!engine_)
            return;
        heldByThisThread = previous_;
        semaphore_->Release();
        engine_ = nullptr;
    }

    static constexpr std::uint32_t kStateLockTimeoutMs = 10000;

  private:
    static inline thread_local const ViewerEngine* heldByThisThread = nullptr;
    const ViewerEngine* engine_;
    const ViewerEngine* previous_ = nullptr;
    platform::Semaphore* semaphore_ = nullptr;
};
