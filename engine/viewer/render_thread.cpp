#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "engine/files/global_dib.h"
#include "engine/viewer/state_lock.h"
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
        StateLock lock(*engine);
        if (engine->framesToRun == 0) {
            engine->Pause();
            if (engine->stopRequested)
                return;
            continue;
        }
        if (engine->framesToRun > 0)
            --engine->framesToRun;
        const std::int16_t result = engine->RenderFrame();
        if (result >= 2 && engine->notifyOnce) {
            engine->notifyOnce = 0;
            platform::PostMessage(engine->notifyWindow, engine->notifyMessage, 1, result);
        }
        const int fps = engine->framesPerSecond;
        lock.Unlock();
        const auto elapsed = static_cast<std::int64_t>(platform::TimeGetTime() - t0);
        // A frame that overran its period still sleeps a moment: the state lock is not fair,
        // and without a pause the next frame would take it again before a waiting thread wakes.
        const std::int64_t rest = std::max<std::int64_t>(1000 / fps - elapsed, 1);
        if (!engine->stopRequested)
            platform::Sleep(static_cast<std::uint32_t>(rest));
    }
}

int ViewerEngine::Pause() {
    paused = 1;
    if (syncRunPending) {
        syncRunPending = 0;
        doneSemaphore->Release();
    }
    return 0;
}

bool ViewerEngine::EnsureFrameBuffers(int width, int height) {
    const bool sizeChanged = width != viewFrame.width || height != viewFrame.height;
    if (!sizeChanged && viewFrame.pixels && compositeFrame.pixels)
        return true;
    frameValid = 0;
    const int bytes = imageDib ? platform::LoadInfoHeader(imageDib).biBitCount / 8 : 3;
    const std::size_t count = static_cast<std::size_t>(width) * height * bytes;
    viewFrame.pixels.reset();
    compositeFrame.pixels.reset();
    viewFrame.pixels.reset(new (std::nothrow) std::uint8_t[count]);
    compositeFrame.pixels.reset(new (std::nothrow) std::uint8_t[count]);
    if (!viewFrame.pixels || !compositeFrame.pixels) {
        // Both are dropped, so that the next frame tries again rather than drawing into a
        // missing buffer.
        viewFrame.pixels.reset();
        compositeFrame.pixels.reset();
        TraceEngineText("Mem Fault\n");
        return false;
    }
    for (FrameBuffer* frame : {&viewFrame, &compositeFrame}) {
        frame->width = width;
        frame->height = height;
        frame->bytesPerPixel = static_cast<std::int16_t>(bytes);
        frame->bitsPerPixel = static_cast<std::int16_t>(bytes * 8);
    }
    if (sizeChanged &&
        (fixedPanMin != 0 || fixedPanMax != 0 || fixedTiltMin != 0 || fixedTiltMax != 0)) {
        fovMax =
            MaxFovForSpan(width, height, fixedPanMax - fixedPanMin, fixedTiltMax - fixedTiltMin);
        if (fixedPanMax < 180)
            pan = 0;
        if (fixedTiltMax < 90)
            tilt = 0;
        roll = 0;
    }
    return true;
}

std::int16_t ViewerEngine::RenderFrame() {
    platform::Rect target;
    if (clipRectSet) {
        target = clipRect;
    } else {
        platform::GetClientRect(window, &target);
    }
    const std::int64_t targetWidth = std::int64_t{target.right} - target.left;
    const std::int64_t targetHeight = std::int64_t{target.bottom} - target.top;
    if (targetWidth <= 0 || targetHeight <= 0)
        return kNothingDrawn;
    const std::int64_t roundedWidth = RoundUpTo32(targetWidth);
    const std::int64_t roundedHeight = RoundUpTo32(targetHeight);
    if (roundedWidth > kMaxFrameSide || roundedHeight > kMaxFrameSide) {
        viewFrame.pixels.reset();
        compositeFrame.pixels.reset();
        TraceEngineText("Mem Fault\n");
        return kNothingDrawn;
    }
    const int w = static_cast<int>(roundedWidth);
    const int h = static_cast<int>(roundedHeight);
    if (!EnsureFrameBuffers(w, h))
        return kNothingDrawn;

    const int fps = framesPerSecond;
    double eyeStep = 0;
    if (eyeFrames != 0) {
        eyeStep = eyeSpeed / fps;
        if (eyeFrames > 0)
            --eyeFrames;
    }
    Step(&travelHeading, travelHeadingVelocity, &travelHeadingFrames, fps);
    Step(&travelPitch, travelPitchVelocity, &travelPitchFrames, fps);
    Step(&pan, panVelocity, &panFrames, fps);
    Step(&tilt, tiltVelocity, &tiltFrames, fps);
    Step(&roll, rollVelocity, &rollFrames, fps);
    for (double* angle : {&travelHeading, &travelPitch, &pan, &tilt, &roll})
        *angle = WrapAngle(*angle);
    Step(&fov, fovVelocity, &fovFrames, fps);

    std::int16_t flags = 0;
    ClampHigh(&fov, fovMax, &flags);
    ClampLow(&fov, fovMin, &flags);
    if (fixedPanMin != 0 || fixedPanMax != 0 || fixedTiltMin != 0 || fixedTiltMax != 0) {
        panMax = PanLimitForFov(fov, fixedPanMax - fixedPanMin);
        panMin = -panMax;
        tiltMax = TiltLimitForFov(fov * h / w, fixedTiltMax - fixedTiltMin);
        tiltMin = -tiltMax;
        rollMin = rollMax = 0;
    }
    ClampHigh(&pan, panMax, &flags);
    ClampLow(&pan, panMin, &flags);
    ClampHigh(&tilt, tiltMax, &flags);
    ClampLow(&tilt, tiltMin, &flags);
    ClampHigh(&roll, rollMax, &flags);
    ClampLow(&roll, rollMin, &flags);

    const double th = travelHeading * kPi / 180.0;
    const double tp = travelPitch * kPi / 180.0;
    eyeX += -std::cos(tp) * std::sin(th) * eyeStep;
    eyeY += std::cos(tp) * std::cos(th) * eyeStep;
    eyeZ += std::sin(tp) * eyeStep;

    if (!imageDib)
        return flags;
    eyeZ = 0;
    const Renderer::Orientation view{eyeX, eyeY, 0, pan, tilt, roll, fov};
    const Renderer::Orientation zero{0, 0, 0, 0, 0, 0, 0};
    const std::array<double, 7> current{eyeX, eyeY, 0, pan, tilt, roll, fov};
    const std::size_t frameBytes = static_cast<std::size_t>(w) * h * viewFrame.bytesPerPixel;

    auto render = [&](int level) {
        platform::BitmapInfoHeader header = platform::LoadInfoHeader(imageDib);
        if (header.biBitCount == 8 && header.biClrUsed == 0) {
            header.biClrUsed = 256;
            platform::StoreInfoHeader(imageDib, header);
        }
        const int imageWidth = header.biWidth;
        const int imageHeight = header.biHeight;
        // The renderer reads bitmap rows, each padded to a whole number of 4-byte words; the
        // image is handed over without its two bottom and two top rows, and only when all of
        // that lies in the block.
        if (imageWidth <= 0 || imageHeight <= 4)
            return;
        const std::size_t stride = platform::DibRowStride(imageWidth, viewFrame.bytesPerPixel * 8);
        std::uint8_t* pixels = imageDib + platform::kInfoHeaderSize + ColourTableBytes(header);
        const std::size_t available =
            static_cast<std::size_t>(imageHandle.data() + imageHandle.size() - pixels);
        if (stride * static_cast<std::size_t>(imageHeight - 2) > available)
            return;
        renderer->Render(environments[static_cast<std::size_t>(currentEnvironment)], view, zero, w,
                         h, viewFrame.pixels.get(), imageWidth, imageHeight - 4,
                         pixels + 2 * stride,
                         static_cast<PixelFormatCode>(platform::DibPixelFormatCode(header)), 0,
                         static_cast<AntialiasLevel>(level));
    };
    if (antialias >= 1 && current == lastView) {
        if (frameValid) {
            std::memcpy(viewFrame.pixels.get(), compositeFrame.pixels.get(), frameBytes);
        } else {
            render(antialias);
            std::memcpy(compositeFrame.pixels.get(), viewFrame.pixels.get(), frameBytes);
            frameValid = 1;
        }
    } else {
        frameValid = 0;
        lastView = current;
        render(0);
    }

    MoveAvatars();
    DrawAvatars();
    Present(w, h);
    firstFrame = 0;
    return flags;
}

void ViewerEngine::MoveAvatars() {
    const int fps = framesPerSecond;
    for (int i = 0; i < avatarSlotCount; ++i) {
        Avatar& a = avatars[static_cast<std::size_t>(i)];
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

std::vector<int> ViewerEngine::VisibleAvatarsByDistance(bool farthestFirst) const {
    std::vector<std::pair<double, int>> byDistance;
    for (int i = 0; i < avatarSlotCount; ++i) {
        const Avatar& a = avatars[static_cast<std::size_t>(i)];
        if (!a.HasImage() || !a.visible)
            continue;
        const double dx = a.position[0] - eyeX, dy = a.position[1] - eyeY,
                     dz = a.position[2] - eyeZ;
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

void ViewerEngine::DrawAvatars() {
    for (int slot : VisibleAvatarsByDistance(true))
        DrawAvatar(slot);
}

void ViewerEngine::Present(int width, int height) {
    std::uint8_t savedHeader[platform::kInfoHeaderSize];
    std::memcpy(savedHeader, imageDib, sizeof savedHeader);
    platform::BitmapInfoHeader frameHeader = platform::LoadInfoHeader(imageDib);
    frameHeader.biWidth = width;
    frameHeader.biHeight = height;
    platform::StoreInfoHeader(imageDib, frameHeader);
    if (drawCallback) {
        drawCallback(window, imageDib, viewFrame.pixels.get(), clipRectSet);
    } else {
        platform::Rect dest = clipRect;
        if (!clipRectSet)
            platform::GetClientRect(window, &dest);
        const platform::PixelView view{
            width,
            height,
            platform::DibPixelFormatCode(frameHeader),
            viewFrame.pixels.get(),
            static_cast<std::size_t>(width) * viewFrame.bytesPerPixel,
            frameHeader.biBitCount == 8 ? imageDib + platform::kInfoHeaderSize : nullptr};
        platform::PresentToWindow(window, view, dest);
    }
    std::memcpy(imageDib, savedHeader, sizeof savedHeader);
}
