#include "platform/frame_wait.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/backend.h"

namespace platform {
namespace {

// How often the wait looks for new frames: well below the shortest frame period (20 ms at
// 50 frames a second), so that every frame is shown before the next one replaces it.
constexpr std::uint32_t kFrameLookMs = 4;
// How often a modal wait looks for frames and keys.
constexpr auto kModalLook = std::chrono::milliseconds(10);

}  // namespace

void WaitShowingFrames(Semaphore& done) {
    Backend* backend = InstalledBackend();
    if (!backend) {
        done.Wait(kInfinite);
        return;
    }
    while (!done.Wait(kFrameLookMs))
        backend->ShowPendingFrames();
    // The run's last frame was handed over before the wait ended.
    backend->ShowPendingFrames();
}

bool WaitWatchingForKey(std::uint32_t milliseconds, int stopKey) {
    Backend* backend = InstalledBackend();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (backend) {
            const std::vector<int> keys = backend->PumpModal();
            if (std::find(keys.begin(), keys.end(), stopKey) != keys.end())
                return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= end)
            return false;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kModalLook, end - now));
    }
}

}  // namespace platform
