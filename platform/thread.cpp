#include "platform/thread.h"

#include <system_error>

namespace platform {
namespace {

thread_local ThreadPriority currentPriority = ThreadPriority::Normal;

}  // namespace

Thread::~Thread() {
    Join();
}

bool Thread::Start(std::function<void()> body, ThreadPriority priority) {
    if (thread_.joinable() || !body)
        return false;
    try {
        thread_ = std::thread([body = std::move(body), priority] {
            currentPriority = priority;
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

ThreadPriority PriorityBelow(ThreadPriority priority) {
    return priority == ThreadPriority::Lowest
               ? priority
               : static_cast<ThreadPriority>(static_cast<int>(priority) - 1);
}

}  // namespace platform
