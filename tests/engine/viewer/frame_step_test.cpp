#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "engine_fixture.h"
#include "engine_test_access.h"
#include "platform/dib_header.h"
#include "platform/surface.h"

namespace {

using FrameStep = EngineFixture;

// Runs one frame step the way the render thread does (the thread itself stays paused).
std::int16_t Step(ViewerEngine& engine) {
    const ViewStateGuard lock = Access::State(engine);
    return engine.RenderFrame();
}

TEST_F(FrameStep, FrameSizesAreRoundedTo32) {
    struct Case {
        int width, height, frameWidth, frameHeight;
    };
    const Case cases[] = {{100, 75, 128, 96}, {64, 32, 64, 32}, {1, 33, 32, 64}};
    for (const Case& c : cases) {
        ViewerEngine fresh;
        const platform::WindowHandle w = backend.CreateWindow({c.width, c.height});
        LoadInto(w, MakeContainer({{"BTMP", MakeBitmap(256, 128)}}), fresh);
        EXPECT_EQ(Step(fresh), 0);
        EXPECT_EQ(Access::State(fresh)->viewFrame.width, c.frameWidth);
        EXPECT_EQ(Access::State(fresh)->viewFrame.height, c.frameHeight);
        EXPECT_EQ(Access::State(fresh)->compositeFrame.width, c.frameWidth);
        // The window gets its own unrounded size, from the frame's lower-left part.
        platform::GetWindowSurface(w)->Read([&](const platform::SurfacePicture& picture) {
            EXPECT_EQ(picture.size, (platform::Size{c.width, c.height}));
        });
    }
}

TEST_F(FrameStep, AZeroHighWindowDrawsNothing) {
    LoadDefault(100, 0);
    EXPECT_EQ(Step(engine), 1);
    EXPECT_EQ(backend.FramesReady(window), 0);
    EXPECT_TRUE(Access::State(engine)->viewFrame.pixels.empty());
}

TEST_F(FrameStep, AFrameThatCannotBeHadIsRetriedLater) {
    LoadDefault(64, 32);
    const platform::Rect absurd{0, 0, 1 << 30, 1 << 30};
    engine.SetOption(ViewerOption::kClipRectangle, &absurd);
    EXPECT_EQ(Step(engine), 1);
    EXPECT_TRUE(Access::State(engine)->viewFrame.pixels.empty())
        << "nothing is rendered into a missing buffer";
    const platform::Rect extreme{-2147483647 - 1, 0, 2147483647, 10};
    engine.SetOption(ViewerOption::kClipRectangle, &extreme);
    EXPECT_EQ(Step(engine), 1);
    EXPECT_EQ(backend.FramesReady(window), 0);

    engine.SetOption(ViewerOption::kClipRectangle, nullptr);
    EXPECT_EQ(Step(engine), 0) << "the next frame allocates again";
    EXPECT_FALSE(Access::State(engine)->viewFrame.pixels.empty());
    EXPECT_EQ(backend.FramesReady(window), 1);
}

TEST_F(FrameStep, PanAdvancesPerFrameAndWraps) {
    LoadDefault();
    engine.SetView(180, 0, 0, 60, 0);
    engine.SetPanVelocity(60, -1, 0);
    Step(engine);
    EXPECT_NEAR(Access::State(engine)->pan, -178.8, 1e-9);
    Step(engine);
    EXPECT_NEAR(Access::State(engine)->pan, -177.6, 1e-9);

    engine.SetTiltVelocity(10, 2, 0);
    for (int i = 0; i < 4; ++i)
        Step(engine);
    EXPECT_NEAR(Access::State(engine)->tilt, 0.4, 1e-9) << "a counted axis stops after its frames";
    EXPECT_EQ(Access::State(engine)->tiltFrames, 0);
}

TEST_F(FrameStep, FovClampIsFlaggedAndNotifiedOncePerLoad) {
    LoadDefault();
    engine.SetView(0, 0, 0, 175, 0);
    EXPECT_EQ(engine.Run(1, 2), 0);
    EXPECT_EQ(Access::State(engine)->fov, 170);
    engine.SetView(0, 0, 0, 175, 0);
    EXPECT_EQ(engine.Run(1, 2), 0);
    EXPECT_EQ(Notifications(), 1);
    for (const platform::Message& m : backend.Log(window)) {
        if (m.id == kNotify) {
            EXPECT_EQ(m.wParam, 1u);
            EXPECT_EQ(m.lParam, 8);
        }
    }
    engine.SetView(0, 0, 0, 170, 0);
    EXPECT_EQ(Step(engine), 0) << "a value equal to its limit is not clamped";
}

TEST_F(FrameStep, SettledFramesAreCachedOnlyWithAntialiasing) {
    LoadDefault(64, 32);
    const std::size_t bytes = 64 * 32 * 3;
    auto markComposite = [&] {
        std::memset(Access::State(engine)->compositeFrame.pixels.data(), 0xAB, bytes);
    };
    auto viewIsMark = [&] { return Shown(window).second == Bytes(bytes, 0xAB); };

    Step(engine);  // the view moved (from nothing): drawn fast
    EXPECT_EQ(Access::State(engine)->frameValid, 0);
    Step(engine);  // settled: drawn at level 8 and kept
    EXPECT_EQ(Access::State(engine)->frameValid, 1);
    markComposite();
    Step(engine);
    EXPECT_TRUE(viewIsMark()) << "a cached settled frame is copied, not rendered";

    engine.SetOption(ViewerOption::kAntialias, std::intptr_t{0});
    markComposite();
    Step(engine);
    Step(engine);
    EXPECT_EQ(Access::State(engine)->frameValid, 0);
    EXPECT_FALSE(viewIsMark()) << "antialias 0 renders every frame";
}

TEST_F(FrameStep, PartialPanoramaLimitsFollowTheWindowSize) {
    window = backend.CreateWindow({128, 64});
    LoadInto(window,
             MakeContainer({{"BTMP", MakeBitmap(128, 64)},
                            {"INIT", InitSection({180, 90, 0, 0, 0, 0, 0, 0})}}),
             engine);
    engine.SetView(30, 10, 5, 60, 0);
    Step(engine);
    EXPECT_EQ(Access::State(engine)->pan, 0) << "the first frame size resets the view";
    EXPECT_EQ(Access::State(engine)->tilt, 0);
    EXPECT_EQ(Access::State(engine)->roll, 0);

    engine.SetView(90, 0, 0, 60, 0);
    EXPECT_EQ(Step(engine), 8);
    EXPECT_DOUBLE_EQ(Access::State(engine)->panMax, (180 - 60) * 0.5 * 0.75);
    EXPECT_DOUBLE_EQ(Access::State(engine)->pan, Access::State(engine)->panMax);

    backend.Resize(window, {256, 64});
    Step(engine);
    EXPECT_EQ(Access::State(engine)->pan, 0);
    EXPECT_LT(Access::State(engine)->fovMax, 170);
}

TEST_F(FrameStep, ThreadDrawsRequestedFramesAndClosesCleanly) {
    LoadDefault();
    const auto before = platform::GetWindowSurface(window)->Serial();
    EXPECT_EQ(engine.Run(3, 2), 0);
    EXPECT_EQ(platform::GetWindowSurface(window)->Serial() - before, 3u);
    EXPECT_EQ(Access::Paused(engine), 1);

    engine.SetPanVelocity(50, -1, 1);  // endless motion while closing
    engine.Close();
    EXPECT_FALSE(engine.IsLoaded());
    EXPECT_EQ(Access::HasRenderThread(engine), false);
}

}  // namespace

namespace {

TEST_F(FrameStep, RenderThreadMovesByTheVelocitiesAndStopsAtTheLimits) {
    LoadDefault();
    ASSERT_EQ(engine.AttachWindow(), 1);
    EXPECT_EQ(engine.SetPanVelocity(60, 10, 2), 0);  // ten frames, waited for
    double pan, tilt, roll, fov;
    engine.GetView(&pan, &tilt, &roll, &fov);
    EXPECT_NEAR(pan, 12.0, 1e-9);

    const ViewerLimits limits{-15, 15, -360, 360, -360, 360, 10, 170};
    ASSERT_EQ(engine.SetOption(ViewerOption::kLimits, &limits), 0);
    EXPECT_EQ(engine.SetPanVelocity(60, 10, 2), 0);
    engine.GetView(&pan, &tilt, &roll, &fov);
    EXPECT_EQ(pan, 15);
    EXPECT_EQ(Notifications(), 1);
    EXPECT_EQ(engine.DetachWindow(), 1);
}

// A bare 8-bit information header (colours used 0), a grey ramp of colours and its pixels.
Bytes EightBitRecord(int width, int height) {
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = 8;
    Bytes record(40, 0);
    platform::StoreInfoHeader(record.data(), header);
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        record.insert(record.end(), {v, v, v, 0});
    }
    for (int i = 0; i < width * height; ++i)
        record.push_back(static_cast<std::uint8_t>(i * 13));
    return record;
}

TEST_F(FrameStep, FramesNeverWriteIntoTheDecodedPanorama) {
    struct Case {
        const char* name;
        Bytes picture;
        bool callback;
    };
    const Case cases[] = {
        {"24-bit to the window", MakeBitmap(256, 128), false},
        {"24-bit to a callback", MakeBitmap(256, 128), true},
        {"8-bit to the window", EightBitRecord(256, 128), false},
        {"8-bit to a callback", EightBitRecord(256, 128), true},
    };
    for (const Case& c : cases) {
        ViewerEngine fresh;
        LoadInto(backend.CreateWindow({96, 64}), MakeContainer({{"BTMP", c.picture}}), fresh);
        if (c.callback) {
            fresh.SetDrawCallback([](platform::WindowHandle, const std::uint8_t*,
                                     const std::uint8_t*, const platform::Rect*) {});
        }
        Bytes before;
        {
            const ViewStateGuard state = Access::State(fresh);
            before.assign(state->image.Bytes().begin(), state->image.Bytes().end());
        }
        ASSERT_GT(before.size(), 40u) << c.name;
        if (before[14] == 8) {
            EXPECT_EQ(platform::LoadInfoHeader(before.data()).biClrUsed, 256u)
                << c.name << ": the colour count is made explicit once, at load";
        }
        fresh.SetPanVelocity(30, 4, 0);
        for (int i = 0; i < 6; ++i)
            Step(fresh);  // moving frames, then settled antialiased ones
        const ViewStateGuard state = Access::State(fresh);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), state->image.Bytes().begin(),
                               state->image.Bytes().end()))
            << c.name;
    }
}

}  // namespace
