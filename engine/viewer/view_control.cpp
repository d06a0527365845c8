#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/viewer/box_projection.h"
#include "engine/viewer/run_request.h"
#include "engine/viewer/view_limits.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/frame_wait.h"

int ViewerEngine::SetOption(ViewerOption option, const void* data) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    const ViewStateGuard state = LockState();
    switch (option) {
        case ViewerOption::kClipRectangle:
            state->clipSet = data != nullptr;
            if (data)
                state->clipRect = *static_cast<const platform::Rect*>(data);
            return kEngineDone;
        case ViewerOption::kLimits: {
            if (state->HasFixedSpans())
                return kEngineRefused;
            // The defaults are whole degrees inside the field-of-view clamp: they pass unchanged.
            const ViewState defaults;
            const auto asDegrees = [](double value) { return static_cast<std::int32_t>(value); };
            const ViewerLimits limits =
                data ? *static_cast<const ViewerLimits*>(data)
                     : ViewerLimits{asDegrees(defaults.panMin),  asDegrees(defaults.panMax),
                                    asDegrees(defaults.tiltMin), asDegrees(defaults.tiltMax),
                                    asDegrees(defaults.rollMin), asDegrees(defaults.rollMax),
                                    asDegrees(defaults.fovMin),  asDegrees(defaults.fovMax)};
            state->panMin = limits.panMin;
            state->panMax = limits.panMax;
            state->tiltMin = limits.tiltMin;
            state->tiltMax = limits.tiltMax;
            state->rollMin = limits.rollMin;
            state->rollMax = limits.rollMax;
            state->fovMin = std::min(limits.fovMin, 170);
            state->fovMax = std::max(limits.fovMax, 10);
            return kEngineDone;
        }
        case ViewerOption::kAntialias: {
            const auto level = reinterpret_cast<std::intptr_t>(data);
            state->antialias = static_cast<std::int16_t>(level == 0 || level == 1 ? level : 8);
            state->frameValid = 0;
            return kEngineDone;
        }
        case ViewerOption::kHomeView: {
            const ViewState defaults;
            const HomeView home =
                data ? *static_cast<const HomeView*>(data)
                     : HomeView{0, 0, 0, static_cast<std::int32_t>(defaults.homeFov)};
            state->homePan = home.pan;
            state->homeTilt = home.tilt;
            state->homeRoll = home.roll;
            state->homeFov = home.fov;
            return kEngineDone;
        }
    }
    return kEngineRefused;
}

bool NextFramesToRun(std::int32_t current, int frames, std::int32_t* next) {
    *next = current;
    if (current < 0) {
        if (frames != 0)
            return false;
        *next = 1;
    } else if (frames == 0) {
        *next = 1;
    } else if (frames < 0) {
        *next = -1;
    } else if (frames > current) {
        *next = frames;
    }
    return true;
}

int ViewerEngine::Run(int frames, int mode) {
    if (!IsLoaded() || window == platform::kNoWindow)
        return kEngineNotLoaded;
    // A waiting run from the render thread itself would wait for its own pause for ever (and
    // the thread already holds the lock).
    if (mode == 2 && renderThread && renderThread->IsCurrent())
        return kEngineRefused;
    ViewStateGuard state = LockState();
    if (mode == 0 || state->syncRunPending || (mode == 2 && frames < 0) || !renderThread) {
        return kEngineRefused;
    }
    if (!NextFramesToRun(state->framesToRun, frames, &state->framesToRun))
        return kEngineDone;
    paused = 0;
    wakeSemaphore->Release();
    if (mode == 2) {
        state->syncRunPending = 1;
        state.Unlock();
        // The frames are shown as they are drawn, and no message is handled meanwhile.
        platform::WaitShowingFrames(*doneSemaphore);
    }
    return kEngineDone;
}

int ViewerEngine::SetFrameRate(std::int16_t rate) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    if (window == platform::kNoWindow && rate <= 0)
        return kEngineRefused;
    if (std::abs(rate) > 50)
        return kEngineRefused;
    const ViewStateGuard state = LockState();
    int magnitude = state->framesPerSecond;
    if (rate == 0) {
        rateReversed = 1;
    } else if (rate < 0) {
        rateReversed = 1;
        magnitude = -rate;
    } else {
        rateReversed = 0;
        magnitude = rate;
    }
    state->framesPerSecond =
        static_cast<std::int16_t>(magnitude > 50 || magnitude <= 0 ? 50 : magnitude);
    return kEngineDone;
}

int ViewerEngine::GetFrameRate(std::int16_t* rate) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    *rate = LockState()->framesPerSecond;
    return kEngineDone;
}

int ViewerEngine::SetAxisVelocity(double ViewState::*velocityField,
                                  std::int32_t ViewState::*framesField, double velocity, int frames,
                                  int mode) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    {
        const ViewStateGuard state = LockState();
        (*state).*velocityField = velocity;
        (*state).*framesField = frames;
    }
    if (mode != 0)
        Run(frames, mode);
    return kEngineDone;
}

int ViewerEngine::SetPanVelocity(double velocity, int frames, int mode) {
    return SetAxisVelocity(&ViewState::panVelocity, &ViewState::panFrames, velocity, frames, mode);
}
int ViewerEngine::SetTiltVelocity(double velocity, int frames, int mode) {
    return SetAxisVelocity(&ViewState::tiltVelocity, &ViewState::tiltFrames, velocity, frames,
                           mode);
}
int ViewerEngine::SetRollVelocity(double velocity, int frames, int mode) {
    return SetAxisVelocity(&ViewState::rollVelocity, &ViewState::rollFrames, velocity, frames,
                           mode);
}
int ViewerEngine::SetZoomVelocity(double velocity, int frames, int mode) {
    return SetAxisVelocity(&ViewState::fovVelocity, &ViewState::fovFrames, velocity, frames, mode);
}
int ViewerEngine::SetHeadingVelocity(double velocity, int frames, int mode) {
    return SetAxisVelocity(&ViewState::travelHeadingVelocity, &ViewState::travelHeadingFrames,
                           velocity, frames, mode);
}

int ViewerEngine::GetAxisVelocity(double ViewState::*velocityField,
                                  std::int32_t ViewState::*framesField, double* velocity) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    const ViewStateGuard state = LockState();
    *velocity = (*state).*framesField != 0 ? (*state).*velocityField : 0.0;
    return kEngineDone;
}

int ViewerEngine::GetPanVelocity(double* velocity) {
    return GetAxisVelocity(&ViewState::panVelocity, &ViewState::panFrames, velocity);
}
int ViewerEngine::GetTiltVelocity(double* velocity) {
    return GetAxisVelocity(&ViewState::tiltVelocity, &ViewState::tiltFrames, velocity);
}
int ViewerEngine::GetRollVelocity(double* velocity) {
    return GetAxisVelocity(&ViewState::rollVelocity, &ViewState::rollFrames, velocity);
}
int ViewerEngine::GetZoomVelocity(double* velocity) {
    return GetAxisVelocity(&ViewState::fovVelocity, &ViewState::fovFrames, velocity);
}

int ViewerEngine::SetView(double panValue, double tiltValue, double rollValue, double fovValue,
                          int mode) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    {
        const ViewStateGuard state = LockState();
        state->pan = WrapAngle(panValue);
        state->tilt = WrapAngle(tiltValue);
        state->roll = WrapAngle(rollValue);
        state->fov = fovValue;
    }
    if (mode != 0)
        Run(1, mode);
    return kEngineDone;
}

int ViewerEngine::GetView(double* panValue, double* tiltValue, double* rollValue,
                          double* fovValue) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    const ViewStateGuard state = LockState();
    *panValue = state->pan;
    *tiltValue = state->tilt;
    *rollValue = state->roll;
    *fovValue = state->fov;
    return kEngineDone;
}

int ViewerEngine::GetEyePosition(double* x, double* y, double* z) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    const ViewStateGuard state = LockState();
    *x = state->eyeX;
    *y = state->eyeY;
    *z = state->eyeZ;
    return kEngineDone;
}

int ViewerEngine::GetPanoramaExtent(double* xMin, double* xMax, double* yMin, double* yMax,
                                    double* zMin, double* zMax) const {
    if (!IsLoaded())
        return kEngineNotLoaded;
    *xMin = *xMax = *yMin = *yMax = *zMin = *zMax = 0;
    return kEngineDone;
}

std::uint16_t ViewerEngine::HitTest(int x, int y, std::int16_t* kind) {
    *kind = kHitNothing;
    if (!IsLoaded())
        return 0xFFFF;
    const ViewStateGuard state = LockState();
    const int frameY = state->viewFrame.height - y - 1;
    std::uint16_t index = HitAvatar(*state, x, frameY);
    if (index != 0xFFFF) {
        *kind = kHitAvatar;
        return index;
    }
    index = HitHotspot(*state, x, frameY);
    if (index != 0xFFFF)
        *kind = kHitHotspot;
    return index;
}

std::uint16_t ViewerEngine::HitAvatar(const ViewState& state, int x, int frameY) {
    for (int slot : VisibleAvatarsByDistance(state, false)) {
        const AvatarSlot& a = state.avatars[static_cast<std::size_t>(slot)];
        int x0, y0, x1, y1;
        if (ProjectBox(state, a.position, a.size, &x0, &y0, &x1, &y1) && x >= x0 && x <= x1 &&
            frameY >= y0 && frameY <= y1) {
            return static_cast<std::uint16_t>(slot);
        }
    }
    return 0xFFFF;
}

std::uint16_t ViewerEngine::HitHotspot(const ViewState& state, int x, int frameY) {
    for (int i = 0; i < state.hotspotCount; ++i) {
        const HotspotSlot& h = state.hotspots[static_cast<std::size_t>(i)];
        if (!h.active)
            continue;
        int x0, y0, x1, y1;
        if (ProjectBox(state, h.centre, h.size, &x0, &y0, &x1, &y1) && x >= x0 && x <= x1 &&
            frameY >= y0 && frameY <= y1) {
            return static_cast<std::uint16_t>(i);
        }
    }
    return 0xFFFF;
}
