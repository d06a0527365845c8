#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "engine/viewer/view_limits.h"
#include "engine_fixture.h"
#include "engine_test_access.h"

namespace {

const double kPi = 2.0 * std::acos(0.0);

class HotspotTest : public EngineFixture {
  protected:
    // A 256 x 128 window looking at heading 0 with fov 90; hotspots: 0 in the middle,
    // 1 straddling the left edge (headings grow to the left), 2 behind the viewer.
    void SetUp() override {
        window = backend.CreateWindow({256, 128});
        LoadInto(window,
                 MakeContainer({{"BTMP", MakeBitmap(256, 128)},
                                {"HSPT", HotspotSection({{-10, -10, 10, 10, "next.pan"},
                                                         {30, -5, 60, 5, "sound.wav"},
                                                         {170, -5, 190, 5, "behind.wav"}})}}),
                 engine);
        engine.SetView(0, 0, 0, 90, 0);
        const ViewStateGuard lock = Access::State(engine);
        engine.RenderFrame();
    }
};

TEST_F(HotspotTest, BoxesComeFromTheCornerAngles) {
    ASSERT_EQ(Access::State(engine)->hotspotCount, 3);
    double x, y, z;
    engine.GetHotspot(0)->GetCentre(&x, &y, &z);
    EXPECT_NEAR(x, 0, 1e-6);
    EXPECT_NEAR(y, 10 * std::cos(10 * kPi / 180) * std::cos(10 * kPi / 180), 1e-4);
    EXPECT_NEAR(z, 0, 1e-6);
    engine.GetHotspot(0)->GetSize(&x, &y, &z);
    EXPECT_NEAR(x, 20 * std::sin(10 * kPi / 180) * std::cos(10 * kPi / 180), 1e-4);
    EXPECT_NEAR(y, 0, 1e-6) << "all four corners lie at one depth";
    EXPECT_NEAR(z, 20 * std::sin(10 * kPi / 180), 1e-4);
    EXPECT_EQ(engine.GetHotspot(3), nullptr) << "index equal to the count";
    EXPECT_EQ(engine.GetHotspot(-1), nullptr);
}

TEST_F(HotspotTest, HitTestFindsActiveHotspotsOnly) {
    std::int16_t kind = -1;
    EXPECT_EQ(engine.HitTest(128, 64, &kind), 0);
    EXPECT_EQ(kind, kHitHotspot);
    EXPECT_EQ(engine.HitTest(2, 2, &kind), 0xFFFF);
    EXPECT_EQ(kind, kHitNothing);

    engine.GetHotspot(0)->SetActive(0);
    EXPECT_EQ(engine.HitTest(128, 64, &kind), 0xFFFF);
    EXPECT_EQ(kind, kHitNothing);
}

TEST_F(HotspotTest, ScreenRectOnlyForBoxesWhollyInView) {
    int left = -1, top = -1, right = -1, bottom = -1;
    ASSERT_EQ(engine.GetHotspot(0)->GetScreenRect(&left, &top, &right, &bottom), 0);
    EXPECT_LT(left, 128);
    EXPECT_GT(right, 128);
    EXPECT_LT(top, 64);
    EXPECT_GT(bottom, 64);
    EXPECT_NEAR(left + right, 256, 2) << "centred";
    EXPECT_EQ(engine.GetHotspot(1)->GetScreenRect(&left, &top, &right, &bottom), 1) << "straddles";
    EXPECT_EQ(engine.GetHotspot(2)->GetScreenRect(&left, &top, &right, &bottom), 1) << "behind";
}

TEST_F(HotspotTest, CursorRuleTellsPanoramaLinks) {
    engine.SetCursors(platform::LoadCursor(platform::CursorShape::SizeAll),
                      platform::LoadCursor(platform::CursorShape::Arrow),
                      platform::LoadCursor(platform::CursorShape::UpArrow));
    ASSERT_EQ(engine.AttachWindow(), 1);
    backend.MoveMouse(window, {128, 64});
    platform::SendMessage(window, platform::WM_PAINT);
    EXPECT_EQ(backend.CurrentCursor(window)->shape, platform::CursorShape::UpArrow);
    backend.MoveMouse(window, {3, 3});
    platform::SendMessage(window, platform::WM_PAINT);
    EXPECT_EQ(backend.CurrentCursor(window)->shape, platform::CursorShape::SizeAll);
    engine.DetachWindow();
}

TEST_F(HotspotTest, HandlesKeptPastACloseOrAReloadReadTheEngineAsItIsNow) {
    Hotspot* kept = engine.GetHotspot(2);
    Avatar* slot = engine.GetAvatar(3);
    ASSERT_NE(kept, nullptr);
    ASSERT_NE(slot, nullptr);
    kept->SetTarget("changed.wav");
    EXPECT_EQ(kept->Snapshot().target, "changed.wav");
    EXPECT_EQ(engine.GetHotspot(2)->Snapshot().target, "changed.wav") << "one handle per index";

    // A reload with one hotspot and two avatar slots: index 2 and slot 3 are gone.
    const Bytes smaller =
        MakeContainer({{"BTMP", MakeBitmap(256, 128)},
                       {"HSPT", HotspotSection({{-10, -10, 10, 10, "only.pan"}})}});
    engine.Load(smaller.data(), smaller.size(), window, kNotify, 0, 2);
    EXPECT_EQ(engine.GetHotspot(2), nullptr);
    EXPECT_EQ(engine.GetAvatar(3), nullptr);
    EXPECT_EQ(engine.GetHotspot(0)->Snapshot().target, "only.pan");
    const double at[3] = {0, 10, 0};
    const double size[3] = {2, 2, 2};
    for (int round = 0; round < 2; ++round) {
        const std::string when = round == 0 ? "after a smaller load" : "after a close";
        char text[4] = {'x', 'x', 'x', 'x'};
        kept->SetTarget("lost.pan");
        kept->SetActive(1);
        EXPECT_EQ(kept->GetTarget(text, 4), 0) << when;
        EXPECT_EQ(std::string(text, 4), std::string(4, '\0')) << when;
        int left = 0, top = 0, right = 0, bottom = 0;
        EXPECT_EQ(kept->GetScreenRect(&left, &top, &right, &bottom), 1) << when;
        EXPECT_EQ(slot->Load("/no/such.avt", at, size, 1), 1) << when;
        EXPECT_EQ(slot->SetVelocity(1, 2, 3), 1) << when;
        EXPECT_FALSE(slot->HasImage()) << when;
        engine.Close();
    }
    std::int16_t kind = kHitNothing;
    EXPECT_EQ(engine.HitTest(128, 64, &kind), 0xFFFF);
}

TEST(Hotspot, TargetCopiesLikeStrncpy) {
    Hotspot hotspot;
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    hotspot.GetTarget(buffer, 8);
    EXPECT_EQ(std::string(buffer, 8), std::string(8, '\0')) << "no text reads as empty";

    hotspot.SetTarget("abc");
    hotspot.GetTarget(buffer, 8);
    EXPECT_EQ(std::string(buffer, 8), std::string("abc\0\0\0\0\0", 8));
    hotspot.SetTarget("abcdefghij");
    std::memset(buffer, 'x', sizeof buffer);
    hotspot.GetTarget(buffer, 4);
    EXPECT_EQ(std::string(buffer, 8), "abcdxxxx") << "not terminated when too long";
}

TEST(ViewLimits, PartialPanoramaHelpers) {
    EXPECT_EQ(PanLimitForFov(60, 50), 0);
    EXPECT_EQ(PanLimitForFov(60, 360), 360);
    EXPECT_DOUBLE_EQ(PanLimitForFov(60, 180), 45);
    EXPECT_EQ(TiltLimitForFov(100, 90), 0);
    EXPECT_EQ(TiltLimitForFov(30, 180), 360);
    EXPECT_DOUBLE_EQ(TiltLimitForFov(30, 90), 22.5);
    EXPECT_DOUBLE_EQ(VerticalFovForWidth(60, 200, 100), 30);
    EXPECT_NEAR(MaxFovForSpan(128, 64, 180, 90), 0.75 * 2 * std::atan(2.0) * 180 / kPi, 1e-9);
    EXPECT_DOUBLE_EQ(MaxFovForSpan(1000, 10, 100, 90), 75);

    double heading, pitch;
    PointToHeadingPitch(0, 0, 0, -1, 0, 0, &heading, &pitch);
    EXPECT_DOUBLE_EQ(heading, 90) << "headings grow to the left";
    PointToHeadingPitch(0, 0, 0, 0, 0, 5, &heading, &pitch);
    EXPECT_EQ(heading, 0);
    EXPECT_DOUBLE_EQ(pitch, 90);
    PointToHeadingPitch(1, 1, 1, 1, 1, 1, &heading, &pitch);
    EXPECT_EQ(pitch, 0);
}

}  // namespace
