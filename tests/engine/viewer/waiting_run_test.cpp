// Runs that wait for their frames on the user-interface thread (the swing home, a hotspot's
// swing) show each frame in the window while they wait, handle no input meanwhile, and end on
// the exact end view.

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "engine_fixture.h"

namespace {

using Painted = std::vector<platform::HeadlessBackend::PaintedPicture>;

class WaitingRunTest : public EngineFixture {
  protected:
    void TearDown() override { engine.ClosePanorama(0, 0); }

    // The settled picture that another engine, in a window of the same size, paints for the
    // view (pan, tilt, 0, fov): what the swung view must end on.
    std::uint64_t ReferencePicture(const Bytes& panorama, double pan, double tilt, double fov) {
        const platform::WindowHandle other = backend.CreateWindow({kWidth, kHeight});
        LoadInto(other, panorama, reference_);
        EXPECT_EQ(reference_.AttachWindow(), 1);
        reference_.SetView(pan, tilt, 0, fov, 2);
        reference_.Run(0, 2);
        const Painted painted = backend.Painted(other);
        reference_.ClosePanorama(0, 0);
        backend.DestroyWindow(other);
        return painted.empty() ? 0 : painted.back().checksum;
    }

    static constexpr int kWidth = 192;
    static constexpr int kHeight = 128;
    ViewerEngine reference_;
};

std::set<std::uint64_t> DistinctPictures(const Painted& painted, std::size_t from) {
    std::set<std::uint64_t> distinct;
    for (std::size_t i = from; i < painted.size(); ++i)
        distinct.insert(painted[i].checksum);
    return distinct;
}

TEST_F(WaitingRunTest, SwingsShowTheirFramesWhileTheUserInterfaceThreadWaits) {
    const Bytes panorama = MakeContainer(
        {{"BTMP", MakeBitmap(256, 128)}, {"HSPT", HotspotSection({{-15, -15, 15, 15, ""}})}});
    struct Case {
        const char* name;
        std::function<void(ViewerEngine&)> swing;
        double pan, tilt, fov;  // where it ends
    };
    const Case cases[] = {
        {"Space swings home", [](ViewerEngine& e) { e.SendKey(platform::VK_SPACE, 1, 0); }, 0, 0,
         60},
        // From (120, 25, 0, 80): 25 frames at half the frame rate, of whole degrees each.
        {"a hotspot swings",
         [](ViewerEngine& e) {
             e.GetHotspot(0)->SetTarget("#swingto(20,0,0,55,1000)");
             e.RunHotspotAction(0);
         },
         20, 0, 55},
    };

    window = backend.CreateWindow({kWidth, kHeight});
    LoadInto(window, panorama, engine);
    ASSERT_EQ(engine.AttachWindow(), 1);
    for (const Case& c : cases) {
        const std::uint64_t end = ReferencePicture(panorama, c.pan, c.tilt, c.fov);
        engine.SetView(120, 25, 0, 80, 2);
        backend.Pump();
        const std::size_t before = backend.Painted(window).size();
        const int framesBefore = backend.FramesReady(window);
        // A key waits in the queue: the swing must not let it in.
        backend.Press(window, platform::VK_LEFT);

        c.swing(engine);
        // The swing's last frames are asked for without waiting; this wait shows them.
        engine.Run(0, 2);

        const Painted painted = backend.Painted(window);
        const int frames = backend.FramesReady(window) - framesBefore;
        ASSERT_GT(painted.size(), before) << c.name << ": nothing was painted";
        EXPECT_GE(frames, 20) << c.name;
        EXPECT_GE(DistinctPictures(painted, before).size() * 4, static_cast<std::size_t>(frames))
            << c.name << ": the view must move on screen during the swing";
        EXPECT_EQ(painted.back().checksum, end) << c.name << ": the window ends off the end view";
        EXPECT_EQ(backend.QueuedCount(), 1u) << c.name << ": input was handled during the wait";
        double p = 0, t = 0, r = 0, f = 0;
        engine.GetView(&p, &t, &r, &f);
        EXPECT_EQ(p, c.pan) << c.name;
        EXPECT_EQ(t, c.tilt) << c.name;
        EXPECT_EQ(f, c.fov) << c.name;

        backend.Release(window, platform::VK_LEFT);
        backend.Pump();  // the key's turn starts and stops again
    }
}

}  // namespace
