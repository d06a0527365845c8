#include "apps/roamer/freedom_limits.h"

namespace {

constexpr int kFullTurn = 360;
constexpr int kUpright = 90;
constexpr int kFixedFov = 60;
constexpr int kFovMin = 10;
constexpr int kFovMax = 170;

}  // namespace

FreedomRanges FreedomLimits(int freedoms) {
    const bool upsideDown = (freedoms & kFreedomUpsideDown) != 0;
    const auto range = [&](int bit, bool keepUpright) -> std::array<int, 2> {
        if ((freedoms & bit) == 0)
            return {0, 0};
        const int reach = keepUpright && !upsideDown ? kUpright : kFullTurn;
        return {-reach, reach};
    };
    const auto pan = range(kFreedomPan, false);
    const auto tilt = range(kFreedomTilt, true);
    const auto roll = range(kFreedomRoll, true);
    const bool zoom = (freedoms & kFreedomZoom) != 0;
    return {pan[0],
            pan[1],
            tilt[0],
            tilt[1],
            roll[0],
            roll[1],
            zoom ? kFovMin : kFixedFov,
            zoom ? kFovMax : kFixedFov};
}

void ToggleFlag(int& flags, int bit) {
    flags ^= bit;
}
