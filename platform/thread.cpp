#include "platform/thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace platform {
namespace {

thread_local ThreadPriority currentPriority = ThreadPriority::Normal;

// The nice value that stands for Normal: the process's when a priority is first set.
int NormalNice() {
    static const int normal = [] {
        errno = 0;
        const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
        return errno == 0 ? nice : 0;
    }();
    return normal;
}

bool ApplyToSystem(ThreadPriority priority) {
    const int nice = std::clamp(NormalNice() - static_cast<int>(priority), -20, 19);
    return setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice) == 0;
}

}  // namespace

Thread::~Thread() {
    Join();
}

bool Thread::Start(std::function<void()> body, ThreadPriority priority) {
    if (thread_.joinable() || !body)
        return false;
    try {
        thread_ = std::thread([body = std::move(body), priority] {
            SetCurrentThreadPriority(priority);
            body();
        });
    } catch (const std::system_error&) {
        return false;
    }
    priority_ = priority;
    return true;
}

void Thread::Join() {
    if (thread_.joinable() && !IsCurrent())
        thread_.join();
}

ThreadPriority CurrentThreadPriority() {
    return currentPriority;
}

bool SetCurrentThreadPriority(ThreadPriority priority) {
    currentPriority = priority;
    return ApplyToSystem(priority);
}

ThreadPriority PriorityBelow(ThreadPriority priority) {
    return priority == ThreadPriority::Lowest
               ? priority
               : static_cast<ThreadPriority>(static_cast<int>(priority) - 1);
}

}  // namespace platform
