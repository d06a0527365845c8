#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "engine/imaging/global_dib.h"
#include "engine/viewer/engine_services.h"
#include "engine/viewer/view_limits.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/clock.h"
#include "platform/dib_header.h"
#include "platform/surface.h"

namespace {

constexpr std::int16_t kNothingDrawn = 1;
constexpr std::int16_t kClamped = 8;
const double kPi = 2.0 * std::acos(0.0);

// Advances `value` by one frame of `velocity` when its counter runs; counts a positive
// counter down.
void Step(double* value, double velocity, std::int32_t* frames, int fps) {
    if (*frames == 0)
        return;
    *value += velocity / fps;
    if (*frames > 0)
        --*frames;
}

void ClampHigh(double* value, double limit, std::int16_t* flags) {
    if (*value > limit) {
        *value = limit;
        *flags |= kClamped;
    }
}

void ClampLow(double* value, double limit, std::int16_t* flags) {
    if (*value < limit) {
        *value = limit;
        *flags |= kClamped;
    }
}

std::int64_t RoundUpTo32(std::int64_t n) {
    return n % 32 == 0 ? n : n + 32 - n % 32;
}

// The largest frame side the engine allocates; a larger target (an absurd clip rectangle)
// counts as an allocation failure instead of overflowing the size arithmetic.
constexpr std::int64_t kMaxFrameSide = 16384;

}  // namespace

void RenderThreadProc(ViewerEngine* engine) {
    for (;;) {
        while (engine->paused) {
            if (engine->stopRequested)
                return;
            engine->wakeSemaphore->Wait(platform::kInfinite);
        }
        const std::uint32_t t0 = platform::TimeGetTime();
        ViewStateGuard state = engine->LockState();
        if (state->framesToRun == 0) {
            engine->Pause(*state);
            if (engine->stopRequested)
                return;
            continue;
        }
        if (state->framesToRun > 0)
            --state->framesToRun;
        const std::int16_t result = engine->RenderFrame(*state);
        if (result >= 2 && state->notifyOnce) {
            state->notifyOnce = 0;
            platform::PostMessage(state->notifyWindow, state->notifyMessage, 1, result);
        }
        const int fps = state->framesPerSecond;
        state.Unlock();
        const auto elapsed = static_cast<std::int64_t>(platform::TimeGetTime() - t0);
        // A frame that overran its period still sleeps a moment: the state lock is not fair,
        // and without a pause the next frame would take it again before a waiting thread wakes.
        const std::int64_t rest = std::max<std::int64_t>(1000 / fps - elapsed, 1);
        if (!engine->stopRequested)
            platform::Sleep(static_cast<std::uint32_t>(rest));
    }
}

int ViewerEngine::Pause() {
    return Pause(*LockState());
}

int ViewerEngine::Pause(ViewState& state) {
    paused = 1;
    if (state.syncRunPending) {
        state.syncRunPending = 0;
        doneSemaphore->Release();
    }
    return 0;
}

bool ViewerEngine::EnsureFrameBuffers(ViewState& s, int width, int height) {
    FrameBuffer& viewFrame = s.viewFrame;
    FrameBuffer& compositeFrame = s.compositeFrame;
    const bool sizeChanged = width != viewFrame.width || height != viewFrame.height;
    if (!sizeChanged && !viewFrame.pixels.empty() && !compositeFrame.pixels.empty())
        return true;
    s.frameValid = 0;
    const int bytes = s.image ? s.image.Header().biBitCount / 8 : 3;
    const std::size_t count = static_cast<std::size_t>(width) * height * bytes;
    viewFrame.pixels = {};
    compositeFrame.pixels = {};
    try {
        viewFrame.pixels.resize(count);
        compositeFrame.pixels.resize(count);
    } catch (const std::bad_alloc&) {
        // Both are dropped, so that the next frame tries again rather than drawing into a
        // missing buffer.
        viewFrame.pixels = {};
        compositeFrame.pixels = {};
        TraceEngineText("Mem Fault\n");
        return false;
    }
    for (FrameBuffer* frame : {&viewFrame, &compositeFrame}) {
        frame->width = width;
        frame->height = height;
        frame->bytesPerPixel = static_cast<std::int16_t>(bytes);
        frame->bitsPerPixel = static_cast<std::int16_t>(bytes * 8);
    }
    if (sizeChanged && s.HasFixedSpans()) {
        s.fovMax = MaxFovForSpan(width, height, s.fixedPanMax - s.fixedPanMin,
                                 s.fixedTiltMax - s.fixedTiltMin);
        if (s.fixedPanMax < 180)
            s.pan = 0;
        if (s.fixedTiltMax < 90)
            s.tilt = 0;
        s.roll = 0;
    }
    return true;
}

std::int16_t ViewerEngine::RenderFrame() {
    return RenderFrame(*LockState());
}

std::int16_t ViewerEngine::RenderFrame(ViewState& s) {
    platform::Rect target;
    if (s.clipSet) {
        target = s.clipRect;
    } else {
        platform::GetClientRect(s.window, &target);
    }
    const std::int64_t targetWidth = std::int64_t{target.right} - target.left;
    const std::int64_t targetHeight = std::int64_t{target.bottom} - target.top;
    if (targetWidth <= 0 || targetHeight <= 0)
        return kNothingDrawn;
    const std::int64_t roundedWidth = RoundUpTo32(targetWidth);
    const std::int64_t roundedHeight = RoundUpTo32(targetHeight);
    if (roundedWidth > kMaxFrameSide || roundedHeight > kMaxFrameSide) {
        s.viewFrame.pixels = {};
        s.compositeFrame.pixels = {};
        TraceEngineText("Mem Fault\n");
        return kNothingDrawn;
    }
    const int w = static_cast<int>(roundedWidth);
    const int h = static_cast<int>(roundedHeight);
    if (!EnsureFrameBuffers(s, w, h))
        return kNothingDrawn;

    const int fps = s.framesPerSecond;
    double eyeStep = 0;
    if (s.eyeFrames != 0) {
        eyeStep = s.eyeSpeed / fps;
        if (s.eyeFrames > 0)
            --s.eyeFrames;
    }
    Step(&s.travelHeading, s.travelHeadingVelocity, &s.travelHeadingFrames, fps);
    Step(&s.travelPitch, s.travelPitchVelocity, &s.travelPitchFrames, fps);
    Step(&s.pan, s.panVelocity, &s.panFrames, fps);
    Step(&s.tilt, s.tiltVelocity, &s.tiltFrames, fps);
    Step(&s.roll, s.rollVelocity, &s.rollFrames, fps);
    for (double* angle : {&s.travelHeading, &s.travelPitch, &s.pan, &s.tilt, &s.roll})
        *angle = WrapAngle(*angle);
    Step(&s.fov, s.fovVelocity, &s.fovFrames, fps);

    std::int16_t flags = 0;
    ClampHigh(&s.fov, s.fovMax, &flags);
    ClampLow(&s.fov, s.fovMin, &flags);
    if (s.HasFixedSpans()) {
        s.panMax = PanLimitForFov(s.fov, s.fixedPanMax - s.fixedPanMin);
        s.panMin = -s.panMax;
        s.tiltMax = TiltLimitForFov(s.fov * h / w, s.fixedTiltMax - s.fixedTiltMin);
        s.tiltMin = -s.tiltMax;
        s.rollMin = s.rollMax = 0;
    }
    ClampHigh(&s.pan, s.panMax, &flags);
    ClampLow(&s.pan, s.panMin, &flags);
    ClampHigh(&s.tilt, s.tiltMax, &flags);
    ClampLow(&s.tilt, s.tiltMin, &flags);
    ClampHigh(&s.roll, s.rollMax, &flags);
    ClampLow(&s.roll, s.rollMin, &flags);

    const double th = s.travelHeading * kPi / 180.0;
    const double tp = s.travelPitch * kPi / 180.0;
    s.eyeX += -std::cos(tp) * std::sin(th) * eyeStep;
    s.eyeY += std::cos(tp) * std::cos(th) * eyeStep;
    s.eyeZ += std::sin(tp) * eyeStep;

    if (!s.image)
        return flags;
    s.eyeZ = 0;
    const Renderer::Orientation view{s.eyeX, s.eyeY, 0, s.pan, s.tilt, s.roll, s.fov};
    const Renderer::Orientation zero{0, 0, 0, 0, 0, 0, 0};
    const std::array<double, 7> current{s.eyeX, s.eyeY, 0, s.pan, s.tilt, s.roll, s.fov};
    const std::size_t frameBytes = static_cast<std::size_t>(w) * h * s.viewFrame.bytesPerPixel;

    auto render = [&](int level) {
        const platform::BitmapInfoHeader header = s.image.Header();
        const int imageWidth = header.biWidth;
        const int imageHeight = header.biHeight;
        // The renderer reads bitmap rows, each padded to a whole number of 4-byte words; the
        // image is handed over without its two bottom and two top rows, and only when all of
        // that lies in the block.
        if (imageWidth <= 0 || imageHeight <= 4)
            return;
        const std::size_t stride =
            platform::DibRowStride(imageWidth, s.viewFrame.bytesPerPixel * 8);
        const std::size_t offset = platform::kInfoHeaderSize + ColourTableBytes(header);
        if (offset > s.image.Size() ||
            stride * static_cast<std::size_t>(imageHeight - 2) > s.image.Size() - offset) {
            return;
        }
        const std::uint8_t* pixels = s.image.Data() + offset;
        s.renderer->Render(s.environments[static_cast<std::size_t>(s.currentEnvironment)], view,
                           zero, w, h, s.viewFrame.pixels.data(), imageWidth, imageHeight - 4,
                           pixels + 2 * stride, platform::DibPixelFormatCode(header), 0,
                           static_cast<AntialiasLevel>(level));
    };
    if (s.antialias >= 1 && current == s.lastView) {
        if (s.frameValid) {
            std::memcpy(s.viewFrame.pixels.data(), s.compositeFrame.pixels.data(), frameBytes);
        } else {
            render(s.antialias);
            std::memcpy(s.compositeFrame.pixels.data(), s.viewFrame.pixels.data(), frameBytes);
            s.frameValid = 1;
        }
    } else {
        s.frameValid = 0;
        s.lastView = current;
        render(0);
    }

    MoveAvatars(s);
    DrawAvatars(s);
    Present(s, w, h);
    s.firstFrame = 0;
    return flags;
}

void ViewerEngine::MoveAvatars(ViewState& s) {
    const int fps = s.framesPerSecond;
    for (int i = 0; i < s.avatarSlotCount; ++i) {
        AvatarSlot& a = s.avatars[static_cast<std::size_t>(i)];
        if (!a.HasImage())
            continue;
        for (int axis = 0; axis < 3; ++axis) {
            a.position[axis] += a.velocity[axis] / fps;
            a.size[axis] += a.sizeRate[axis] / fps;
            if (a.size[axis] < 0)
                a.size[axis] = 0;
        }
        // Whole grid passes are taken off at once, so that a huge rate cannot keep the frame
        // step counting; a position that is no longer finite starts the grid again.
        auto wrap = [](double* value, double rate, int count, int framesPerSecondValue) {
            *value += rate / framesPerSecondValue;
            if (!std::isfinite(*value))
                *value = 0;
            *value = std::fmod(*value, count);
            if (*value < 0)
                *value += count;
            if (std::trunc(*value) >= count)
                *value -= count;
        };
        wrap(&a.frameColumn, a.columnRate, std::max(1, a.framesAcross), fps);
        wrap(&a.frameRow, a.rowRate, std::max(1, a.framesDown), fps);
    }
}

std::vector<int> ViewerEngine::VisibleAvatarsByDistance(const ViewState& s, bool farthestFirst) {
    std::vector<std::pair<double, int>> byDistance;
    for (int i = 0; i < s.avatarSlotCount; ++i) {
        const AvatarSlot& a = s.avatars[static_cast<std::size_t>(i)];
        if (!a.HasImage() || !a.visible)
            continue;
        const double dx = a.position[0] - s.eyeX, dy = a.position[1] - s.eyeY,
                     dz = a.position[2] - s.eyeZ;
        byDistance.emplace_back(std::sqrt(dx * dx + dy * dy + dz * dz), i);
    }
    std::stable_sort(byDistance.begin(), byDistance.end(),
                     [farthestFirst](const auto& l, const auto& r) {
                         return farthestFirst ? l.first > r.first : l.first < r.first;
                     });
    std::vector<int> slots;
    for (const auto& entry : byDistance)
        slots.push_back(entry.second);
    return slots;
}

void ViewerEngine::DrawAvatars(ViewState& s) {
    for (int slot : VisibleAvatarsByDistance(s, true))
        DrawAvatar(s, slot);
}

void ViewerEngine::Present(ViewState& s, int width, int height) {
    // The frame's header is the panorama's with the frame's size (an 8-bit panorama's colour
    // count made explicit), followed by the panorama's colours or masks; the panorama itself
    // is left as it is.
    const platform::BitmapInfoHeader imageHeader = s.image.Header();
    platform::BitmapInfoHeader frameHeader = imageHeader;
    frameHeader.biWidth = width;
    frameHeader.biHeight = height;
    if (frameHeader.biBitCount == 8 && frameHeader.biClrUsed == 0)
        frameHeader.biClrUsed = 256;
    const std::uint8_t* colours = s.image.Colours();
    if (s.drawCallback) {
        std::array<std::uint8_t, platform::kInfoHeaderSize + kColourTableBytes> header{};
        platform::StoreInfoHeader(header.data(), frameHeader);
        std::memcpy(header.data() + platform::kInfoHeaderSize, colours,
                    ColourTableBytes(imageHeader));
        s.drawCallback(s.window, header.data(), s.viewFrame.pixels.data(), s.Clip());
        return;
    }
    platform::Rect dest = s.clipRect;
    if (!s.clipSet)
        platform::GetClientRect(s.window, &dest);
    const platform::PixelView view{width,
                                   height,
                                   platform::DibPixelFormatCode(frameHeader),
                                   s.viewFrame.pixels.data(),
                                   static_cast<std::size_t>(width) * s.viewFrame.bytesPerPixel,
                                   frameHeader.biBitCount == 8 ? colours : nullptr};
    // The frame's rows become the window's picture without a copy; the view frame gets the
    // rows of an older picture, which the next frame draws over.
    platform::PresentFrameToWindow(s.window, s.viewFrame.pixels, view, dest);
}
