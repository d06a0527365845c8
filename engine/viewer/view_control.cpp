#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/viewer/box_projection.h"
#include "engine/viewer/run_request.h"
#include "engine/viewer/state_lock.h"
#include "engine/viewer/view_limits.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/frame_wait.h"

int ViewerEngine::SetOption(std::int16_t type, const void* data) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    switch (type) {
        case 1:
            if (data) {
                clipRect = *static_cast<const platform::Rect*>(data);
                clipRectSet = &clipRect;
            } else {
                clipRectSet = nullptr;
            }
            return kEngineDone;
        case 2: {
            if (fixedPanMin != 0 || fixedPanMax != 0 || fixedTiltMin != 0 || fixedTiltMax != 0) {
                return kEngineRefused;
            }
            if (!data) {
                panMin = tiltMin = rollMin = -360;
                panMax = tiltMax = rollMax = 360;
                fovMin = 10;
                fovMax = 170;
                return kEngineDone;
            }
            const auto& limits = *static_cast<const ViewerLimits*>(data);
            panMin = limits.panMin;
            panMax = limits.panMax;
            tiltMin = limits.tiltMin;
            tiltMax = limits.tiltMax;
            rollMin = limits.rollMin;
            rollMax = limits.rollMax;
            fovMin = std::min(limits.fovMin, 170);
            fovMax = std::max(limits.fovMax, 10);
            return kEngineDone;
        }
        case 3: {
            const auto level = reinterpret_cast<std::intptr_t>(data);
            antialias = static_cast<std::int16_t>(level == 0 || level == 1 ? level : 8);
            frameValid = 0;
            return kEngineDone;
        }
        case 4:
            if (data) {
                const auto& home = *static_cast<const HomeView*>(data);
                homePan = home.pan;
                homeTilt = home.tilt;
                homeRoll = home.roll;
                homeFov = home.fov;
            } else {
                homePan = homeTilt = homeRoll = 0;
                homeFov = 60;
            }
            return kEngineDone;
        default:
            return kEngineRefused;
    }
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
    StateLock lock(*this);
    if (mode == 0 || syncRunPending || (mode == 2 && frames < 0) || !renderThread) {
        return kEngineRefused;
    }
    if (!NextFramesToRun(framesToRun, frames, &framesToRun))
        return kEngineDone;
    paused = 0;
    wakeSemaphore->Release();
    if (mode == 2) {
        syncRunPending = 1;
        platform::Semaphore* done = doneSemaphore.get();
        lock.Unlock();
        // The frames are shown as they are drawn, and no message is handled meanwhile.
        platform::WaitShowingFrames(*done);
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
    StateLock lock(*this);
    int magnitude = framesPerSecond;
    if (rate == 0) {
        rateReversed = 1;
    } else if (rate < 0) {
        rateReversed = 1;
        magnitude = -rate;
    } else {
        rateReversed = 0;
        magnitude = rate;
    }
    framesPerSecond = static_cast<std::int16_t>(magnitude > 50 || magnitude <= 0 ? 50 : magnitude);
    return kEngineDone;
}

int ViewerEngine::GetFrameRate(std::int16_t* rate) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    StateLock lock(*this);
    *rate = framesPerSecond;
    return kEngineDone;
}

int ViewerEngine::SetAxisVelocity(double* velocityField, std::int32_t* framesField, double velocity,
                                  int frames, int mode) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    {
        StateLock lock(*this);
        *velocityField = velocity;
        *framesField = frames;
    }
    if (mode != 0)
        Run(frames, mode);
    return kEngineDone;
}

int ViewerEngine::SetPanVelocity(double velocity, int frames, int mode) {
    return SetAxisVelocity(&panVelocity, &panFrames, velocity, frames, mode);
}
int ViewerEngine::SetTiltVelocity(double velocity, int frames, int mode) {
    return SetAxisVelocity(&tiltVelocity, &tiltFrames, velocity, frames, mode);
}
int ViewerEngine::SetRollVelocity(double velocity, int frames, int mode) {
    return SetAxisVelocity(&rollVelocity, &rollFrames, velocity, frames, mode);
}
int ViewerEngine::SetZoomVelocity(double velocity, int frames, int mode) {
    return SetAxisVelocity(&fovVelocity, &fovFrames, velocity, frames, mode);
}
int ViewerEngine::SetHeadingVelocity(double velocity, int frames, int mode) {
    return SetAxisVelocity(&travelHeadingVelocity, &travelHeadingFrames, velocity, frames, mode);
}

int ViewerEngine::GetAxisVelocity(const double& velocityField, const std::int32_t& framesField,
                                  double* velocity) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    StateLock lock(*this);
    *velocity = framesField != 0 ? velocityField : 0.0;
    return kEngineDone;
}

int ViewerEngine::GetPanVelocity(double* velocity) {
    return GetAxisVelocity(panVelocity, panFrames, velocity);
}
int ViewerEngine::GetTiltVelocity(double* velocity) {
    return GetAxisVelocity(tiltVelocity, tiltFrames, velocity);
}
int ViewerEngine::GetRollVelocity(double* velocity) {
    return GetAxisVelocity(rollVelocity, rollFrames, velocity);
}
int ViewerEngine::GetZoomVelocity(double* velocity) {
    return GetAxisVelocity(fovVelocity, fovFrames, velocity);
}

int ViewerEngine::SetView(double panValue, double tiltValue, double rollValue, double fovValue,
                          int mode) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    {
        StateLock lock(*this);
        pan = WrapAngle(panValue);
        tilt = WrapAngle(tiltValue);
        roll = WrapAngle(rollValue);
        fov = fovValue;
    }
    if (mode != 0)
        Run(1, mode);
    return kEngineDone;
}

int ViewerEngine::GetView(double* panValue, double* tiltValue, double* rollValue,
                          double* fovValue) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    StateLock lock(*this);
    *panValue = pan;
    *tiltValue = tilt;
    *rollValue = roll;
    *fovValue = fov;
    return kEngineDone;
}

int ViewerEngine::GetEyePosition(double* x, double* y, double* z) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    StateLock lock(*this);
    *x = eyeX;
    *y = eyeY;
    *z = eyeZ;
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
    StateLock lock(*this);
    const int frameY = viewFrame.height - y - 1;
    std::uint16_t index = HitAvatar(x, frameY);
    if (index != 0xFFFF) {
        *kind = kHitAvatar;
        return index;
    }
    index = HitHotspot(x, frameY);
    if (index != 0xFFFF)
        *kind = kHitHotspot;
    return index;
}

std::uint16_t ViewerEngine::HitAvatar(int x, int frameY) {
    for (int slot : VisibleAvatarsByDistance(false)) {
        const Avatar& a = avatars[static_cast<std::size_t>(slot)];
        int x0, y0, x1, y1;
        if (ProjectBox(*this, a.position, a.size, &x0, &y0, &x1, &y1) && x >= x0 && x <= x1 &&
            frameY >= y0 && frameY <= y1) {
            return static_cast<std::uint16_t>(slot);
        }
    }
    return 0xFFFF;
}

std::uint16_t ViewerEngine::HitHotspot(int x, int frameY) {
    for (int i = 0; i < hotspotCount; ++i) {
        const Hotspot& h = hotspots[static_cast<std::size_t>(i)];
        if (!h.active)
            continue;
        int x0, y0, x1, y1;
        if (ProjectBox(*this, h.centre, h.size, &x0, &y0, &x1, &y1) && x >= x0 && x <= x1 &&
            frameY >= y0 && frameY <= y1) {
            return static_cast<std::uint16_t>(i);
        }
    }
    return 0xFFFF;
}
