#include "platform/frame_wait.h"

#include "platform/backend.h"

namespace platform {
namespace {

// How often the wait looks for new frames: well below the shortest frame period (20 ms at
// 50 frames a second), so that every frame is shown before the next one replaces it.
constexpr std::uint32_t kFrameLookMs = 4;

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

}  // namespace platform
