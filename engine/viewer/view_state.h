#pragma once
// The view state a viewer engine's render thread and user-interface thread share: the window
// drawn into, the view and its motion, the limits and options, the frames, the decoded
// panorama, the projection, the hotspots and the avatar slots. The engine keeps it behind its
// state lock (GuardedState<ViewState>); nothing here is reached without the lock's guard.
//
// The member initialisers are the defaults of a new engine and of every load (a load without
// a window keeps the notify window).

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/imaging/global_dib.h"
#include "engine/render/renderer.h"
#include "engine/viewer/avatar.h"
#include "engine/viewer/guarded_state.h"
#include "engine/viewer/hotspot.h"
#include "platform/geometry.h"
#include "platform/window.h"

// A frame buffer: rows bottom-up, packed end to end; no pixels until the first frame of its
// size. The view frame's rows go to the window's surface by exchange when the frame is shown,
// so after that it holds the rows of an older frame.
struct FrameBuffer {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int16_t bytesPerPixel = 3;
    std::int16_t bitsPerPixel = 24;
    std::vector<std::uint8_t> pixels;
};

// Receives each finished frame instead of the window's surface: the window, the image's
// 40-byte information header (with the frame's width and height) followed by its colours,
// the pixels, and the clip rectangle or null. Called on the render thread under the lock.
using DrawCallback = void (*)(platform::WindowHandle window, const std::uint8_t* header,
                              const std::uint8_t* pixels, const platform::Rect* clip);

struct ViewState {
    // Where frames go and who hears of a clamped frame.
    platform::WindowHandle window = platform::kNoWindow;
    platform::WindowHandle notifyWindow = platform::kNoWindow;
    std::uint32_t notifyMessage = 0;
    std::int16_t notifyOnce = 1;
    DrawCallback drawCallback = nullptr;

    // Limits, the home view and the spans of a partial panorama (degrees).
    double panMin = -360, panMax = 360, homePan = 0;
    double tiltMin = -360, tiltMax = 360, homeTilt = 0;
    double rollMin = -360, rollMax = 360, homeRoll = 0;
    double fovMin = 10, fovMax = 170, homeFov = 60;
    double fixedPanMin = 0, fixedPanMax = 0;
    double fixedTiltMin = 0, fixedTiltMax = 0;

    // Frame pacing: frames still to run (-1 endless) and a waiting run to end at the pause.
    std::int16_t framesPerSecond = 50;
    std::int32_t framesToRun = 0;
    std::int16_t syncRunPending = 0;

    // The eye, the view and their motion (degrees a second; counters of frames, -1 endless).
    double eyeX = 0, eyeY = 0, eyeZ = 0;
    double eyeSpeed = 0;
    std::int32_t eyeFrames = 0;
    double pan = 0, tilt = 0, roll = 0;
    double panVelocity = 0, tiltVelocity = 0, rollVelocity = 0;
    std::int32_t panFrames = 0, tiltFrames = 0, rollFrames = 0;
    double travelHeading = 0, travelPitch = 0;
    double travelHeadingVelocity = 0, travelPitchVelocity = 0;
    std::int32_t travelHeadingFrames = 0, travelPitchFrames = 0;
    double fov = 60;
    double fovVelocity = 0;
    std::int32_t fovFrames = 0;

    // The frames: the one drawn, and the antialiased picture of a view at rest.
    FrameBuffer viewFrame;
    FrameBuffer compositeFrame;
    platform::Rect clipRect;
    bool clipSet = false;
    std::int16_t firstFrame = 1;
    std::int16_t frameValid = 0;
    // Eye x, y, z, pan, tilt, roll, fov of the last frame rendered while moving.
    std::array<double, 7> lastView{};
    std::int16_t antialias = 8;

    // The decoded panorama as the decoder handed it over (information header, colours or
    // masks, bottom-up rows); empty when none. The frame step only reads it.
    GlobalDib image;
    std::vector<Renderer::Environment> environments;
    std::unique_ptr<Renderer> renderer;
    std::int16_t currentEnvironment = 0;

    // The hotspots, and the avatar slots (one more than the count, as the loader makes them);
    // callers outside the engine reach them through Hotspot and Avatar handles.
    std::int16_t hotspotCount = 0;
    std::unique_ptr<HotspotSlot[]> hotspots;
    std::int16_t avatarSlotCount = 0;
    std::unique_ptr<AvatarSlot[]> avatars;

    // The clip rectangle when one is set, else null.
    const platform::Rect* Clip() const { return clipSet ? &clipRect : nullptr; }
    // Whether a partial panorama fixes the limits.
    bool HasFixedSpans() const {
        return fixedPanMin != 0 || fixedPanMax != 0 || fixedTiltMin != 0 || fixedTiltMax != 0;
    }
};

using ViewStateGuard = GuardedState<ViewState>::Guard;
