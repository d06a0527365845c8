#include <gtest/gtest.h>

#include <memory>

#include "engine_fixture.h"
#include "engine_test_access.h"
#include "platform/media/recording_media_service.h"

namespace {

struct Velocities {
    double pan, tilt, roll, zoom;
    friend bool operator==(const Velocities&, const Velocities&) = default;
};

std::ostream& operator<<(std::ostream& out, const Velocities& v) {
    return out << "pan " << v.pan << " tilt " << v.tilt << " roll " << v.roll << " zoom " << v.zoom;
}

class NavigationTest : public EngineFixture {
  protected:
    void SetUp() override {
        recorder_ = std::make_shared<platform::RecordingMediaService>();
        previous_ = platform::InstallMediaService(recorder_);
    }
    void TearDown() override {
        engine.ClosePanorama(0, 0);
        platform::InstallMediaService(previous_);
    }
    void Attach(int width, int height, const Bytes& panorama) {
        window = backend.CreateWindow({width, height});
        LoadInto(window, panorama, engine);
        ASSERT_EQ(engine.AttachWindow(), 1);
        recorder_->ClearLog();
    }
    void AttachPlain(int width = 640, int height = 480) {
        Attach(width, height, MakeContainer({{"BTMP", MakeBitmap(256, 128)}}));
    }
    Velocities Read() {
        Velocities v{};
        engine.GetPanVelocity(&v.pan);
        engine.GetTiltVelocity(&v.tilt);
        engine.GetRollVelocity(&v.roll);
        engine.GetZoomVelocity(&v.zoom);
        return v;
    }
    int FramesToRun() {
        const ViewStateGuard lock = Access::State(engine);
        return Access::State(engine)->framesToRun;
    }
    void StopAll() {
        engine.SetPanVelocity(0, 0, 0);
        engine.SetTiltVelocity(0, 0, 0);
        engine.SetRollVelocity(0, 0, 0);
        engine.SetZoomVelocity(0, 0, 0);
    }
    std::shared_ptr<platform::RecordingMediaService> recorder_;
    std::shared_ptr<platform::MediaService> previous_;
};

TEST_F(NavigationTest, ArrowKeysWithShiftAndCtrl) {
    AttachPlain();
    struct Case {
        int key;
        bool shift, ctrl;
        Velocities expected;
    };
    using platform::VK_DOWN, platform::VK_LEFT, platform::VK_RIGHT, platform::VK_UP;
    const Case cases[] = {
        {VK_LEFT, false, false, {60, 0, 0, 0}},   {VK_LEFT, true, false, {60, 0, 0, 0}},
        {VK_LEFT, false, true, {60, 0, 0, 0}},    {VK_LEFT, true, true, {0, 0, -60, 0}},
        {VK_RIGHT, false, false, {-60, 0, 0, 0}}, {VK_RIGHT, false, true, {-60, 0, 0, 0}},
        {VK_RIGHT, true, true, {0, 0, 60, 0}},    {VK_UP, false, false, {0, 60, 0, 0}},
        {VK_UP, true, false, {0, 60, 0, 0}},      {VK_UP, false, true, {0, 0, 0, -60}},
        {VK_UP, true, true, {0, 0, 0, 0}},        {VK_DOWN, false, false, {0, -60, 0, 0}},
        {VK_DOWN, false, true, {0, 0, 0, 60}},    {VK_DOWN, true, true, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        StopAll();
        engine.Run(0, 1);
        backend.HoldKey(platform::VK_SHIFT, c.shift);
        backend.HoldKey(platform::VK_CONTROL, c.ctrl);
        backend.Press(window, c.key);
        backend.Pump();
        EXPECT_EQ(Read(), c.expected) << c.key << " shift " << c.shift << " ctrl " << c.ctrl;
        EXPECT_EQ(FramesToRun(), -1) << "every arrow asks for endless frames";
    }
    backend.HoldKey(platform::VK_SHIFT, false);
    backend.HoldKey(platform::VK_CONTROL, false);
}

TEST_F(NavigationTest, RepeatedKeyMessagesAreIgnoredEntirely) {
    AttachPlain();
    Access::PlayingMedia(engine) = 0;
    Access::Media(engine).deviceName = "clip.avi";
    backend.Press(window, platform::VK_LEFT, 2);
    backend.Press(window, platform::VK_ESCAPE, 2);
    backend.Pump();
    EXPECT_EQ(Read(), (Velocities{0, 0, 0, 0}));
    EXPECT_TRUE(recorder_->Log().empty()) << "the media keeps playing";
    backend.Press(window, platform::VK_LEFT, 1);
    backend.Pump();
    EXPECT_EQ(recorder_->Log(),
              (std::vector<std::string>{"close clip.avi", "PlaySound(null, 0x2003)"}));
    Access::PlayingMedia(engine) = -1;
}

TEST_F(NavigationTest, KeyUpStopsItsAxesAndTheFrames) {
    AttachPlain();
    backend.HoldKey(platform::VK_SHIFT, true);
    backend.HoldKey(platform::VK_CONTROL, true);
    backend.Press(window, platform::VK_RIGHT);
    backend.Pump();
    EXPECT_EQ(Read(), (Velocities{0, 0, 60, 0}));
    backend.HoldKey(platform::VK_SHIFT, false);
    backend.HoldKey(platform::VK_CONTROL, false);
    backend.Press(window, platform::VK_UP);
    backend.Release(window, platform::VK_RIGHT);
    backend.Pump();
    EXPECT_EQ(Read(), (Velocities{0, 60, 0, 0})) << "Right's release leaves the tilt";
    EXPECT_EQ(FramesToRun(), -1) << "the tilt still needs frames";
    backend.Release(window, platform::VK_UP);
    backend.Pump();
    EXPECT_EQ(Read(), (Velocities{0, 0, 0, 0}));
    EXPECT_GE(FramesToRun(), 0) << "nothing moves any more";
}

TEST_F(NavigationTest, SpaceEndsAtTheExactHomeView) {
    AttachPlain(160, 120);
    const HomeView home{30, -10, 0, 45};
    engine.SetOption(ViewerOption::kHomeView, &home);
    for (bool startAtHome : {true, false}) {
        if (startAtHome) {
            engine.SetView(30, -10, 0, 45, 0);
        } else {
            engine.SetView(-100, 20, 5, 80, 0);
        }
        engine.SendKey(platform::VK_SPACE, 1, 0);
        double p = 0, t = 0, r = 0, f = 0;
        engine.GetView(&p, &t, &r, &f);
        EXPECT_EQ(p, 30) << startAtHome;
        EXPECT_EQ(t, -10) << startAtHome;
        EXPECT_EQ(r, 0) << startAtHome;
        EXPECT_EQ(f, 45) << startAtHome;
        EXPECT_EQ(Read(), (Velocities{0, 0, 0, 0}));
    }
}

TEST_F(NavigationTest, EscapeStopsMediaAndAnimation) {
    AttachPlain();
    Access::Animating(engine) = 1;
    Access::Media(engine).deviceName = "song.wav";
    engine.SendKey(platform::VK_ESCAPE, 1, 0);
    EXPECT_EQ(Access::Animating(engine), 0);
    EXPECT_EQ(recorder_->Log(),
              (std::vector<std::string>{"close song.wav", "PlaySound(null, 0x2003)"}));
}

TEST_F(NavigationTest, MouseSpeedGrowsWithTheSquareOfTheDistance) {
    AttachPlain(640, 480);
    struct Case {
        int x, y;
        double pan, tilt;
    };
    const Case cases[] = {
        {320, 240, 0, 0},    {1, 240, 167, 0}, {639, 240, -167, 0}, {320, 1, 0, 167},
        {320, 479, 0, -167}, {0, 0, 169, 169}, {160, 360, 42, -42},
    };
    Access::GrabKeys(engine) = platform::MK_LBUTTON;
    for (const Case& c : cases) {
        engine.OnMouseMove(c.x, c.y, 0);
        const Velocities v = Read();
        EXPECT_EQ(v.pan, c.pan) << c.x << "," << c.y;
        EXPECT_EQ(v.tilt, c.tilt) << c.x << "," << c.y;
    }
    // Far outside the window (a drag that escaped) the speed stays a number.
    engine.OnMouseMove(65535, 65535, 0);
    EXPECT_LT(Read().pan, 0);
    EXPECT_LT(Read().tilt, 0);
    Access::GrabKeys(engine) = 0;
}

TEST_F(NavigationTest, DragModesComeFromTheKeysAtTheGrab) {
    AttachPlain(640, 480);
    struct Case {
        const char* name;
        std::uint32_t keys;
        Velocities expected;
    };
    const std::uint32_t left = platform::MK_LBUTTON;
    const Case cases[] = {
        {"plain", left, {167, -167, 0, 0}},
        {"shift", left | platform::MK_SHIFT, {167, -167, 0, 0}},
        {"ctrl", left | platform::MK_CONTROL, {167, 0, 0, 167}},
        {"shift and ctrl", left | platform::MK_SHIFT | platform::MK_CONTROL, {0, 0, -167, 0}},
        {"no button", platform::MK_SHIFT, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        StopAll();
        Access::GrabKeys(engine) = c.keys;
        // The message's own flags do not count.
        engine.OnMouseMove(1, 479, 0);
        EXPECT_EQ(Read(), c.expected) << c.name;
    }
    Access::GrabKeys(engine) = 0;
}

TEST_F(NavigationTest, ButtonDownDragsAndButtonUpStops) {
    AttachPlain(640, 480);
    backend.PressLeft(window, {1, 240});
    backend.Pump();
    EXPECT_EQ(Read().pan, 167);
    EXPECT_TRUE(backend.CursorClip().has_value());
    backend.ReleaseLeft(window, {1, 240});
    backend.Pump();
    EXPECT_EQ(Read(), (Velocities{0, 0, 0, 0}));
    EXPECT_EQ(Access::GrabKeys(engine), 0u);
    EXPECT_FALSE(backend.CursorClip().has_value());
}

TEST_F(NavigationTest, ClickOnAHotspotRunsItsActionAfterTheButtonUpSteps) {
    Attach(320, 240,
           MakeContainer({{"BTMP", MakeBitmap(256, 128)},
                          {"HSPT", HotspotSection({{-15, -15, 15, 15, "click.wav"}})}}));
    engine.SetPanVelocity(20, -1, 0);
    backend.PressLeft(window, {160, 120});
    backend.Pump();
    EXPECT_EQ(Access::GrabKeys(engine), 0u);
    EXPECT_EQ(Read(), (Velocities{0, 0, 0, 0}));
    EXPECT_EQ(recorder_->Log(),
              (std::vector<std::string>{"PlaySound(null, 0x2003)", "open click.wav",
                                        "play click.wav from 0"}));
    Access::Media(engine).Stop();
}

TEST_F(NavigationTest, DeleteWithoutAGrabbedAvatarChangesNothing) {
    AttachPlain();
    Access::AvatarSounds(engine)[0] = std::make_unique<std::string>("/x/walk.wav");
    engine.SendKey(platform::VK_DELETE, 1, 0);
    EXPECT_TRUE(recorder_->Log().empty());
    EXPECT_NE(Access::AvatarSounds(engine)[0], nullptr);
}

// Puts an avatar box straight ahead of the home view into `slot`, with a looped sound.
void PlaceAvatar(ViewerEngine& engine, std::int16_t slot, const char* sound) {
    const ViewStateGuard state = Access::State(engine);
    AvatarSlot& avatar = state->avatars[static_cast<std::size_t>(slot)];
    avatar.image.assign(1064 + 4, 0);
    avatar.visible = 1;
    avatar.position[1] = 10;
    for (double& extent : avatar.size)
        extent = 4;
    Access::AvatarSounds(engine)[static_cast<std::size_t>(slot)] =
        std::make_unique<std::string>(sound);
}

TEST_F(NavigationTest, AGrabbedAvatarIsDraggedInTheModeOfTheGrab) {
    AttachPlain(640, 480);
    PlaceAvatar(engine, 0, "/x/walk.wav");
    struct Case {
        const char* name;
        bool shift, ctrl;
        double velocity[3];
        double columnRate;
    };
    // A drag 30 pixels right and 60 up from the grab at the centre.
    const Case cases[] = {
        {"plain: across and up", false, false, {1, 0, 2}, 0},
        {"ctrl: forward", false, true, {0, 2, 0}, 0},
        {"shift: animation", true, false, {0, 0, 0}, -0.6},
    };
    for (const Case& c : cases) {
        backend.HoldKey(platform::VK_SHIFT, c.shift);
        backend.HoldKey(platform::VK_CONTROL, c.ctrl);
        recorder_->ClearLog();
        backend.PressLeft(window, {320, 240});
        backend.Pump();
        EXPECT_EQ(Access::GrabbedAvatar(engine), 0) << c.name;
        EXPECT_EQ(Access::Animating(engine), 1) << c.name;
        EXPECT_EQ(recorder_->Log(), (std::vector<std::string>{"PlaySound(null, 0x2003)",
                                                              "PlaySound(/x/walk.wav, 0x2200B)"}))
            << c.name;
        backend.HoldKey(platform::VK_SHIFT, false);
        backend.HoldKey(platform::VK_CONTROL, false);
        engine.OnMouseMove(350, 180, 0);
        {
            const AvatarSlot avatar = engine.GetAvatar(0)->Snapshot();
            for (int i = 0; i < 3; ++i) {
                EXPECT_NEAR(avatar.velocity[i], c.velocity[i], 1e-9) << c.name << " " << i;
            }
            EXPECT_NEAR(avatar.columnRate, c.columnRate, 1e-9) << c.name;
        }
        EXPECT_EQ(Read(), (Velocities{0, 0, 0, 0})) << "the view stays while an avatar moves";
        backend.ReleaseLeft(window, {350, 180});
        backend.Pump();
        EXPECT_EQ(Access::GrabbedAvatar(engine), -1) << c.name;
        const ViewStateGuard state = Access::State(engine);
        AvatarSlot& avatar = state->avatars[0];
        for (double& v : avatar.velocity)
            EXPECT_EQ(v, 0) << c.name;
        avatar.position[1] = 10;
        avatar.position[0] = avatar.position[2] = 0;
        avatar.columnRate = 0;
        avatar.frameColumn = 0;
    }
}

TEST_F(NavigationTest, DeleteRemovesTheGrabbedAvatarAndHandsItsSoundOn) {
    AttachPlain();
    PlaceAvatar(engine, 0, "/x/walk.wav");
    PlaceAvatar(engine, 2, "/x/fly.wav");
    Access::GrabbedAvatar(engine) = 0;
    engine.SendKey(platform::VK_DELETE, 1, 0);
    EXPECT_EQ(recorder_->Log(), (std::vector<std::string>{
                                    "PlaySound(null, 0x2003)", "PlaySound(null, 0x2003)",
                                    "PlaySound(null, 0x2003)", "PlaySound(/x/fly.wav, 0x2200B)"}));
    EXPECT_EQ(Access::GrabbedAvatar(engine), -1);
    EXPECT_EQ(Access::AvatarSounds(engine)[0], nullptr);
    std::int16_t column = 0, row = 0;
    EXPECT_EQ(engine.GetAvatar(0)->IsEmpty(&column, &row), 1);
    EXPECT_EQ(engine.GetAvatar(2)->IsEmpty(&column, &row), 0);
}

}  // namespace
