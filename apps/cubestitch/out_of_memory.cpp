#include "apps/cubestitch/out_of_memory.h"

#include <unistd.h>

#include <atomic>
#include <new>

#include "apps/cubestitch/seam_messages.h"
#include "platform/message_box.h"

namespace cubestitch {

namespace {

constexpr char kMessage[] =
    "Your system has run out of virtual memory.  This program will now terminate.";

void OnOutOfMemory() {
    static std::atomic<bool> entered{false};
    // The message box may itself need memory; when that fails too, the text goes to standard
    // error without allocating.
    if (!entered.exchange(true)) {
        ShowSeamMessage(kMessage, platform::MB_OK | platform::MB_ICONERROR);
    } else {
        constexpr char kPrefix[] = "Cubestitch: ";
        [[maybe_unused]] ssize_t written = ::write(STDERR_FILENO, kPrefix, sizeof kPrefix - 1);
        written = ::write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
        written = ::write(STDERR_FILENO, "\n", 1);
    }
    ::_exit(kOutOfMemoryStatus);
}

}  // namespace

void InstallOutOfMemoryHandler() {
    std::set_new_handler(OnOutOfMemory);
}

}  // namespace cubestitch
