#include "platform/program_wait.h"

#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/backend.h"

namespace platform {
namespace {

// How often a wait with windows looks at the child: often enough that a repaint or the
// desktop's question waits no longer than a frame would.
constexpr auto kChildLook = std::chrono::milliseconds(10);

// waitpid, taken again when a signal interrupts it.
pid_t WaitPid(pid_t child, int* status, int options) {
    pid_t done = 0;
    do {
        done = ::waitpid(child, status, options);
    } while (done < 0 && errno == EINTR);
    return done;
}

}  // namespace

std::optional<int> WaitForChildProcess(pid_t child) {
    int status = 0;
    Backend* backend = InstalledBackend();
    if (backend == nullptr) {
        if (WaitPid(child, &status, 0) != child)
            return std::nullopt;
        return status;
    }
    pid_t done = 0;
    while ((done = WaitPid(child, &status, WNOHANG)) == 0) {
        backend->PumpHoldingInput();
        std::this_thread::sleep_for(kChildLook);
    }
    backend->DropHeldInput();
    if (done != child)
        return std::nullopt;
    return status;
}

}  // namespace platform
