// The user-interface side changes everything the render thread reads while it draws a turning
// panorama: every view-control operation, avatars, hotspots, a window redirect, reloads. Run
// under ThreadSanitizer (label "threads"), a field touched outside the state lock shows up as
// a data race.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine_fixture.h"
#include "engine_test_access.h"

namespace {

namespace fs = std::filesystem;

class EngineStressTest : public EngineFixture {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("engine-stress-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        avatarPath_ = (dir_ / "walker.avt").string();
        const Bytes avatar = MakeBitmap(4, 4);
        std::ofstream(avatarPath_, std::ios::binary)
            .write(reinterpret_cast<const char*>(avatar.data()),
                   static_cast<std::streamsize>(avatar.size()));
        window = backend.CreateWindow({96, 64});
        Reload();
    }
    void TearDown() override {
        engine.Close();
        fs::remove_all(dir_);
    }

    void Reload() {
        LoadInto(window,
                 MakeContainer({{"BTMP", MakeBitmap(256, 128)},
                                {"HSPT", HotspotSection({{-20, -10, 20, 10, "hall.pan"},
                                                         {100, -5, 120, 5, "song.wav"}})}}),
                 engine);
        engine.SetPanVelocity(40, -1, 0);
        ASSERT_EQ(engine.Run(-1, 1), kEngineDone);
    }

    // One round of every operation that changes what the render thread reads.
    void ChangeEverything(int round) {
        const platform::Rect clip{0, 0, 32 + round % 64, 32};
        engine.SetOption(ViewerOption::kClipRectangle, round % 3 == 0 ? nullptr : &clip);
        const ViewerLimits limits{-170, 170, -80, 80, -10, 10, 20, 120};
        engine.SetOption(ViewerOption::kLimits, round % 2 == 0 ? &limits : nullptr);
        engine.SetOption(ViewerOption::kAntialias, std::intptr_t{round % 3 == 2 ? 8 : round % 2});
        const HomeView home{round % 90, 5, 0, 70};
        engine.SetOption(ViewerOption::kHomeView, &home);
        engine.SetPanVelocity(20 + round % 40, -1, 0);
        engine.SetTiltVelocity(round % 2 == 0 ? 5 : -5, 10, 0);
        engine.SetRollVelocity(0, -1, 0);
        engine.SetZoomVelocity(round % 2 == 0 ? 3 : -3, 5, 0);
        engine.SetHeadingVelocity(1, 3, 0);
        engine.SetFrameRate(static_cast<std::int16_t>(round % 2 == 0 ? 50 : -40));
        if (round % 5 == 0)
            engine.SetView(round, 0, 0, 60, 0);
        double value = 0;
        engine.GetPanVelocity(&value);

        Avatar* avatar = engine.GetAvatar(static_cast<std::int16_t>(round % 4));
        ASSERT_NE(avatar, nullptr);
        const double at[3] = {0, 10, 0};
        const double size[3] = {2, 2, 2};
        if (round % 2 == 0) {
            ASSERT_EQ(avatar->Load(avatarPath_.c_str(), at, size, 1), 0);
            avatar->SetVelocity(0.1, 0, 0);
            avatar->SetAnimationRate(1, 1);
            avatar->SetViewVelocity(1, 0, 0);
        } else {
            avatar->SetVisible(1);
            avatar->SetSizeRate(0.1, 0.1, 0.1);
            std::int16_t column = 0, row = 0;
            avatar->IsEmpty(&column, &row);
            avatar->Snapshot();
            avatar->Unload();
        }
        std::int16_t kind = 0;
        engine.HitTest(48, 32, &kind);
        Hotspot* hotspot = engine.GetHotspot(static_cast<std::int16_t>(round % 2));
        ASSERT_NE(hotspot, nullptr);
        hotspot->SetActive(static_cast<std::int16_t>(round % 3 != 0));
        hotspot->SetTarget(round % 2 == 0 ? "hall.pan" : "song.wav");
        int left = 0, top = 0, right = 0, bottom = 0;
        hotspot->GetScreenRect(&left, &top, &right, &bottom);
        double x = 0, y = 0, z = 0;
        hotspot->GetCentre(&x, &y, &z);
        hotspot->Snapshot();

        if (round % 7 == 0) {
            ASSERT_EQ(engine.RedirectWindow(other_), kEngineDone);
            ASSERT_EQ(engine.RedirectWindow(window), kEngineDone);
        }
        if (round % 50 == 49)
            Reload();
    }

    fs::path dir_;
    std::string avatarPath_;
    platform::WindowHandle other_ = backend.CreateWindow({48, 48});
};

TEST_F(EngineStressTest, EveryChangeWhileFramesAreDrawnKeepsTheEngineWhole) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int rounds = 0;
    while (std::chrono::steady_clock::now() < end || rounds < 100) {
        ChangeEverything(rounds);
        if (HasFatalFailure())
            return;
        ++rounds;
    }
    // The thread still answers: a waiting run ends with the thread paused and a frame drawn.
    engine.Run(0, 1);
    ASSERT_EQ(engine.Run(2, 2), kEngineDone);
    EXPECT_EQ(Access::Paused(engine), 1);
    EXPECT_GT(backend.FramesReady(window), 0);
    double pan = 0, tilt = 0, roll = 0, fov = 0;
    engine.GetView(&pan, &tilt, &roll, &fov);
    EXPECT_GE(fov, 10);
    EXPECT_LE(fov, 170);
}

}  // namespace
