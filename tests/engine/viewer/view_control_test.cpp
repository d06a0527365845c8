#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/viewer/run_request.h"
#include "engine_fixture.h"
#include "engine_test_access.h"
#include "platform/surface.h"

namespace {

using ViewControl = EngineFixture;

TEST_F(ViewControl, NothingLoadedGivesThree) {
    ViewerEngine idle;
    double d = 0;
    std::int16_t s = 0;
    EXPECT_EQ(idle.Run(1, 1), kEngineNotLoaded);
    EXPECT_EQ(idle.SetFrameRate(10), kEngineNotLoaded);
    EXPECT_EQ(idle.SetView(0, 0, 0, 60, 0), kEngineNotLoaded);
    EXPECT_EQ(idle.GetPanVelocity(&d), kEngineNotLoaded);
    EXPECT_EQ(idle.GetFrameRate(&s), kEngineNotLoaded);
    EXPECT_EQ(idle.SetOption(ViewerOption::kAntialias, std::intptr_t{1}), kEngineNotLoaded);
    EXPECT_EQ(idle.HitTest(1, 1, &s), 0xFFFF);
    EXPECT_EQ(idle.GetHotspot(0), nullptr);
    EXPECT_EQ(idle.GetAvatar(0), nullptr);
    EXPECT_EQ(idle.GetEyePosition(&d, &d, &d), kEngineNotLoaded);
    EXPECT_EQ(idle.GetPanoramaExtent(&d, &d, &d, &d, &d, &d), kEngineNotLoaded);
}

TEST_F(ViewControl, EditorQueriesGiveTheEyeAndAnEmptyExtent) {
    LoadDefault();
    double eye[3] = {9, 9, 9};
    ASSERT_EQ(engine.GetEyePosition(&eye[0], &eye[1], &eye[2]), kEngineDone);
    EXPECT_EQ(eye[0], 0);
    EXPECT_EQ(eye[1], 0);
    EXPECT_EQ(eye[2], 0);
    double extent[6] = {1, 1, 1, 1, 1, 1};
    ASSERT_EQ(engine.GetPanoramaExtent(&extent[0], &extent[1], &extent[2], &extent[3],
                                       &extent[4], &extent[5]),
              kEngineDone);
    for (double value : extent)
        EXPECT_EQ(value, 0);
    EXPECT_FALSE(engine.IsAnimating());
}

TEST(RunRequest, CounterRules) {
    struct Case {
        const char* name;
        std::int32_t before;
        int frames;
        bool wake;
        std::int32_t after;
    };
    const Case cases[] = {
        {"endless, 0 frames: one more, then a pause", -1, 0, true, 1},
        {"endless goes on untouched", -1, 5, false, -1},
        {"more frames than asked stay", 10, 5, true, 10},
        {"fewer frames are raised", 2, 5, true, 5},
        {"idle, 0 frames: one redraw", 0, 0, true, 1},
        {"negative: endless", 3, -1, true, -1},
    };
    for (const Case& c : cases) {
        std::int32_t next = 99;
        EXPECT_EQ(NextFramesToRun(c.before, c.frames, &next), c.wake) << c.name;
        EXPECT_EQ(next, c.after) << c.name;
    }
}

TEST_F(ViewControl, RunRefusals) {
    LoadDefault();
    EXPECT_EQ(engine.Run(3, 0), 2);
    EXPECT_EQ(engine.Run(-1, 2), 2);
    EXPECT_EQ(engine.Run(2, 2), 0);
    EXPECT_EQ(Access::Paused(engine), 1) << "a waiting run returns once the thread paused";
}

// What a caller may wait on while frames are endless: a waiting run for n frames returns at
// once and leaves them endless; only a waiting redraw ends them, returning once the last frame
// is drawn and the thread paused.
TEST_F(ViewControl, OnlyAWaitingRedrawEndsEndlessFrames) {
    LoadDefault();
    ASSERT_EQ(engine.Run(-1, 1), kEngineDone);
    EXPECT_EQ(engine.Run(3, 2), kEngineDone);
    EXPECT_EQ(Access::State(engine)->framesToRun, -1);
    EXPECT_EQ(engine.Run(0, 2), kEngineDone);
    EXPECT_EQ(Access::State(engine)->framesToRun, 0);
    EXPECT_EQ(Access::Paused(engine), 1);
    EXPECT_GT(backend.FramesReady(window), 0);
}

TEST_F(ViewControl, FrameRateKeepsItsSignApart) {
    LoadDefault();
    std::int16_t rate = 0;
    EXPECT_EQ(engine.SetFrameRate(-20), 0);
    engine.GetFrameRate(&rate);
    EXPECT_EQ(rate, 20);
    EXPECT_EQ(Access::RateReversed(engine), 1);
    EXPECT_EQ(engine.SetFrameRate(0), 0);
    engine.GetFrameRate(&rate);
    EXPECT_EQ(rate, 20);
    EXPECT_EQ(Access::RateReversed(engine), 1);
    EXPECT_EQ(engine.SetFrameRate(51), 2);
    EXPECT_EQ(engine.SetFrameRate(-51), 2);
    EXPECT_EQ(engine.SetFrameRate(25), 0);
    EXPECT_EQ(Access::RateReversed(engine), 0);

    ViewerEngine windowless;
    const Bytes bytes = MakeContainer({{"BTMP", MakeBitmap(64, 32)}});
    windowless.Load(bytes.data(), bytes.size(), platform::kNoWindow, 0, 0, 4);
    EXPECT_EQ(windowless.SetFrameRate(0), 2);
    EXPECT_EQ(windowless.SetFrameRate(10), 0);
}

TEST_F(ViewControl, SetViewWrapsAndDrawsNothingInModeZero) {
    LoadDefault();
    const auto before = platform::GetWindowSurface(window)->Serial();
    struct Case {
        double pan, tilt, roll, fov;
        double wantPan, wantTilt, wantRoll;
    };
    const Case cases[] = {
        {190, -180, 540, 75, -170, 180, 180},
        {-540, 360, 0, 200, 180, 0, 0},
        {1e300, 0, 0, 60, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(engine.SetView(c.pan, c.tilt, c.roll, c.fov, 0), 0);
        double p, t, r, f;
        engine.GetView(&p, &t, &r, &f);
        EXPECT_DOUBLE_EQ(p, c.wantPan) << c.pan;
        EXPECT_DOUBLE_EQ(t, c.wantTilt) << c.tilt;
        EXPECT_DOUBLE_EQ(r, c.wantRoll) << c.roll;
        EXPECT_EQ(f, c.fov) << "the field of view is clamped by the next frame, not here";
    }
    EXPECT_EQ(platform::GetWindowSurface(window)->Serial(), before);
}

TEST_F(ViewControl, ProjectPointPlacesWorldPointsInTheFrame) {
    int x = -1, y = -1;
    EXPECT_EQ(ViewerEngine().ProjectPoint(0, 1, 0, &x, &y), 0) << "nothing loaded";
    LoadDefault();
    ASSERT_EQ(engine.SetView(0, 0, 0, 60, 0), kEngineDone);
    engine.RenderFrame();
    const int width = Access::State(engine)->viewFrame.width;
    const int height = Access::State(engine)->viewFrame.height;
    const double d = 10 * std::numbers::pi / 180;
    // Where each point lands: -1 left of (below) the centre, 0 at it, 1 right of (above) it.
    const struct {
        double x, y, z;
        int wantX, wantY;
    } ahead[] = {{0, 1, 0, 0, 0},
                 {-std::sin(d), std::cos(d), 0, -1, 0},
                 {0, std::cos(d), std::sin(d), 0, 1}};
    const auto side = [](int at, int centre) { return at < centre - 1 ? -1 : at > centre + 1; };
    for (const auto& c : ahead) {
        ASSERT_EQ(engine.ProjectPoint(c.x, c.y, c.z, &x, &y), 1) << c.x << " " << c.z;
        EXPECT_EQ(side(x, width / 2), c.wantX) << c.x << " " << c.z << ": x " << x;
        EXPECT_EQ(side(y, height / 2), c.wantY) << c.x << " " << c.z << ": y " << y;
    }
    EXPECT_EQ(engine.ProjectPoint(0, -1, 0, &x, &y), 0) << "behind the eye";
}

TEST_F(ViewControl, Options) {
    LoadDefault();
    EXPECT_EQ(engine.SetOption(ViewerOption::kAntialias, std::intptr_t{5}), 0);
    EXPECT_EQ(Access::State(engine)->antialias, 8);
    EXPECT_EQ(engine.SetOption(ViewerOption::kAntialias, std::intptr_t{1}), 0);
    EXPECT_EQ(Access::State(engine)->antialias, 1);
    EXPECT_EQ(engine.SetOption(static_cast<ViewerOption>(9), nullptr), 2);

    const ViewerLimits limits{-10, 10, -20, 20, 0, 0, 200, 5};
    EXPECT_EQ(engine.SetOption(ViewerOption::kLimits, &limits), 0);
    EXPECT_EQ(Access::State(engine)->panMax, 10);
    EXPECT_EQ(Access::State(engine)->fovMin, 170);
    EXPECT_EQ(Access::State(engine)->fovMax, 10);
    EXPECT_EQ(engine.SetOption(ViewerOption::kLimits, nullptr), 0);
    EXPECT_EQ(Access::State(engine)->tiltMin, -360);

    const platform::Rect clip{4, 4, 36, 20};
    EXPECT_EQ(engine.SetOption(ViewerOption::kClipRectangle, &clip), 0);
    EXPECT_EQ(Access::State(engine)->Clip()->right, 36);
    EXPECT_EQ(engine.Run(1, 2), 0);
    platform::GetWindowSurface(window)->Read([](const platform::SurfacePicture& picture) {
        EXPECT_EQ(picture.origin, (platform::Point{4, 4}));
        EXPECT_EQ(picture.size, (platform::Size{32, 16}));
    });

    const HomeView home{1, 2, 3, 45};
    EXPECT_EQ(engine.SetOption(ViewerOption::kHomeView, &home), 0);
    EXPECT_EQ(Access::State(engine)->homeFov, 45);
    EXPECT_EQ(engine.SetOption(ViewerOption::kHomeView, nullptr), 0);
    EXPECT_EQ(Access::State(engine)->homeFov, 60);

    ViewerEngine partial;
    const Bytes bytes = MakeContainer(
        {{"BTMP", MakeBitmap(64, 32)}, {"INIT", InitSection({180, 90, 0, 0, 0, 0, 0, 0})}});
    partial.Load(bytes.data(), bytes.size(), platform::kNoWindow, 0, 0, 4);
    EXPECT_EQ(partial.SetOption(ViewerOption::kLimits, &limits), 2)
        << "a partial panorama keeps its own limits";
}

ViewerEngine* engineInFrame = nullptr;
int waitingRunFromFrame = -1;

TEST_F(ViewControl, CallsFromInsideAFrameNeitherStallNorDeadlock) {
    LoadDefault();
    engineInFrame = &engine;
    waitingRunFromFrame = -1;
    engine.SetDrawCallback([](platform::WindowHandle, const std::uint8_t*, const std::uint8_t*,
                              const platform::Rect*) {
        engineInFrame->SetDrawCallback(nullptr);
        waitingRunFromFrame = engineInFrame->Run(1, 2);
        engineInFrame->SetView(33, 0, 0, 60, 0);  // the lock is this thread's already
    });
    EXPECT_EQ(engine.Run(1, 2), 0);
    EXPECT_EQ(waitingRunFromFrame, 2) << "a waiting run on the render thread is refused";
    double pan, tilt, roll, fov;
    engine.GetView(&pan, &tilt, &roll, &fov);
    EXPECT_EQ(pan, 33);
}

TEST_F(ViewControl, VelocityGettersReportOnlyRunningAxes) {
    LoadDefault();
    double v = 0;
    engine.SetPanVelocity(30, 0, 0);
    engine.GetPanVelocity(&v);
    EXPECT_EQ(v, 0) << "a stopped axis reports 0";
    engine.SetZoomVelocity(-60, 5, 0);
    engine.GetZoomVelocity(&v);
    EXPECT_EQ(v, -60);
    engine.SetRollVelocity(10, -1, 0);
    engine.GetRollVelocity(&v);
    EXPECT_EQ(v, 10);
}

}  // namespace
