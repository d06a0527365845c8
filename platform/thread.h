#pragma once
// Threads with a priority hint. A thread is never killed: its procedure must return (the
// owner sets a stop flag, wakes it and joins).

#include <functional>
#include <thread>

namespace platform {

// Relative priority, as the classic scale: -2 lowest .. 0 normal .. 2 highest. A hint only:
// the scheduler may ignore it.
enum class ThreadPriority {
    Lowest = -2,
    BelowNormal = -1,
    Normal = 0,
    AboveNormal = 1,
    Highest = 2
};

class Thread {
  public:
    Thread() = default;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    // Joins a thread that is still joinable.
    ~Thread();

    // Starts `body` on a new thread. False (and nothing started) when a thread is already
    // running here or the system refuses one.
    bool Start(std::function<void()> body, ThreadPriority priority = ThreadPriority::Normal);
    // Waits for the thread to return. Not from the thread itself (then it returns at once).
    void Join();
    bool Running() const { return thread_.joinable(); }
    // True when called on this thread.
    bool IsCurrent() const { return thread_.get_id() == std::this_thread::get_id(); }
    ThreadPriority Priority() const { return priority_; }

  private:
    std::thread thread_;
    ThreadPriority priority_ = ThreadPriority::Normal;
};

// The priority hint of the calling thread (Normal for threads not started here, until
// SetCurrentThreadPriority).
ThreadPriority CurrentThreadPriority();
// Makes `priority` the calling thread's hint and asks the system to schedule the thread so: one
// nice step per level from the process's nice value at its first priority change. A started
// thread does the same with its own priority, so it does not inherit its creator's. True when
// the system took it; false, quietly, when it did not (raising a thread above that value needs
// a privilege the process may lack); the hint is kept either way.
bool SetCurrentThreadPriority(ThreadPriority priority);
// One step lower, not below Lowest.
ThreadPriority PriorityBelow(ThreadPriority priority);

}  // namespace platform
