#pragma once
// A record that two threads share, reachable only through a guard that holds its lock: the
// record is private and `Lock` is the one way to it, so an unlocked access does not compile.
// Any thread; the record outlives every guard of it. Not re-entrant: a thread that holds a
// guard must not ask for a second one.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace platform {

template <class Record>
class Guarded {
  public:
    class Guard {
      public:
        Record* operator->() const { return record_; }
        Record& operator*() const { return *record_; }

        // Releases the lock while it waits on `changed` until `done(record)` holds, and holds
        // it again on return.
        template <class Predicate>
        void Wait(std::condition_variable& changed, Predicate done) {
            changed.wait(lock_, [&] { return done(*record_); });
        }

        // As Wait, but gives up at `deadline`; returns whether `done(record)` holds.
        template <class Clock, class Duration, class Predicate>
        bool WaitUntil(std::condition_variable& changed,
                       const std::chrono::time_point<Clock, Duration>& deadline, Predicate done) {
            return changed.wait_until(lock_, deadline, [&] { return done(*record_); });
        }

      private:
        friend Guarded;
        explicit Guard(const Guarded& owner) : lock_(owner.mutex_), record_(&owner.record_) {}
        std::unique_lock<std::mutex> lock_;
        Record* record_;
    };

    Guarded() = default;
    explicit Guarded(Record initial) : record_(std::move(initial)) {}
    Guarded(const Guarded&) = delete;
    Guarded& operator=(const Guarded&) = delete;

    // Waits for the lock and gives the record until the guard ends.
    Guard Lock() const { return Guard(*this); }

  private:
    mutable std::mutex mutex_;
    mutable Record record_{};
};

}  // namespace platform
