#pragma once
// A record that two threads share, reachable only through a guard that holds its lock: the
// record itself is private, and `Lock` is the one way to it, so an unlocked access does not
// compile.
//
// The lock is a semaphore of one count. A wait lasts at most 10 s; on a time-out "\a*" goes to
// the trace link and the guard goes on as if it held the lock, releasing it at the end all the
// same (the semaphore's maximum of one keeps the count from growing). The lock is held per
// thread: a guard taken on a thread that already holds it (the render thread calling back into
// the engine from a draw callback, an operation built on other operations) neither waits nor
// releases. Any thread; the record outlives every guard of it.

#include <cstdint>
#include <utility>

#include "engine/viewer/engine_services.h"
#include "platform/semaphore.h"

template <class State>
class GuardedState {
  public:
    static constexpr std::uint32_t kLockTimeoutMs = 10000;

    class Guard {
      public:
        // A guard of nothing: no lock, no record.
        Guard() = default;
        Guard(Guard&& other) noexcept
            : owner_(std::exchange(other.owner_, nullptr)),
              state_(std::exchange(other.state_, nullptr)),
              previous_(other.previous_) {}
        Guard& operator=(Guard&&) = delete;
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
        ~Guard() { Unlock(); }

        // The record; not after Unlock.
        State* operator->() const { return state_; }
        State& operator*() const { return *state_; }

        // Releases early (before a wait for frames, for example); the guard then gives no
        // record.
        void Unlock() {
            state_ = nullptr;
            if (!owner_)
                return;
            heldByThisThread = previous_;
            owner_->semaphore_.Release();
            owner_ = nullptr;
        }

      private:
        friend GuardedState;
        explicit Guard(const GuardedState& owner) : state_(&owner.state_) {
            if (heldByThisThread == &owner)
                return;
            if (!owner.semaphore_.Wait(kLockTimeoutMs))
                TraceEngineText("\a*");
            owner_ = &owner;
            previous_ = heldByThisThread;
            heldByThisThread = &owner;
        }

        // Set while this guard is the one that releases the lock.
        const GuardedState* owner_ = nullptr;
        State* state_ = nullptr;
        const GuardedState* previous_ = nullptr;
    };

    GuardedState() = default;
    GuardedState(const GuardedState&) = delete;
    GuardedState& operator=(const GuardedState&) = delete;

    // Waits for the lock (see above) and gives the record.
    Guard Lock() const { return Guard(*this); }

  private:
    static inline thread_local const GuardedState* heldByThisThread = nullptr;
    mutable platform::Semaphore semaphore_{1, 1};
    mutable State state_;
};
