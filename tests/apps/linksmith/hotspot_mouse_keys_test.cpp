// The hotspot editor's mouse and keys over a headless window with a real editor engine:
// drawing a hotspot with the right button, selecting with a click, Tab stepping and swinging
// the view, Delete, the define dialog's text forms; and the swing arithmetic.

#include <gtest/gtest.h>

#include <cmath>

#include "apps/linksmith/hotspot_projection.h"
#include "apps/linksmith/hotspot_swing.h"
#include "apps/linksmith/linksmith_editor.h"
#include "platform/messages.h"
#include "tests/apps/linksmith/headless_frame.h"
#include "tests/engine/viewer/test_panoramas.h"

namespace {

HotspotRecord Box(double h1, double h2, double p1, double p2, const std::string& text = "") {
    HotspotRecord record;
    record.heading1 = h1;
    record.heading2 = h2;
    record.pitch1 = p1;
    record.pitch2 = p2;
    record.description = text;
    return record;
}

TEST(HotspotSwing, TargetsTheCentreTheShortWayRound) {
    struct Case {
        HotspotRecord record;
        double heading;
        double pitch;
    };
    const Case cases[] = {
        {Box(350, 10, 10, -10), 0, 0},       // across north: 0, not 180
        {Box(10, 350, -10, 10), 0, 0},       // drawn the other way
        {Box(80, 100, 30, 10), 90, 20},      // plain
        {Box(-170, 170, 0, 0), 180, 0},      // across the back
        {Box(720 + 30, 50, -40, -20), 40, 330},  // turns beyond a circle, pitch below the horizon
    };
    for (const Case& c : cases) {
        const SwingTarget target = HotspotCentre(c.record);
        EXPECT_NEAR(target.heading, c.heading, 1e-9) << c.record.heading1;
        EXPECT_NEAR(target.pitch, c.pitch, 1e-9) << c.record.heading1;
    }
    for (const auto& [in, wrapped] : {std::pair{360.0, 0.0}, {-90.0, 270.0}, {-1e-300, 0.0}})
        EXPECT_DOUBLE_EQ(WrapDegrees360(in), wrapped) << in;
    const double huge = WrapDegrees360(1e300);  // no endless subtraction
    EXPECT_TRUE(huge >= 0 && huge < 360);
    for (const auto& [in, wrapped] : {std::pair{180.0, 180.0}, {-180.0, 180.0}, {350.0, -10.0}})
        EXPECT_DOUBLE_EQ(WrapDegrees180(in), wrapped) << in;
    // Within 10 degrees in both: no swing; the comparison is of wrapped angles.
    EXPECT_FALSE(NeedsSwing({90, 20}, 85, 25));
    EXPECT_FALSE(NeedsSwing({90, 350}, 90 + 360, -5));
    EXPECT_TRUE(NeedsSwing({90, 20}, 75, 20));
    EXPECT_TRUE(NeedsSwing({90, 20}, 90, 35));
}

TEST(HotspotText, JoinsAndSplitsCommands) {
    const struct {
        std::string stored;
        std::string lines;
    } cases[] = {
        {"a.pan;  b.wav", "a.pan;\r\nb.wav"},
        {"one", "one"},
        {";  ;  ", ";\r\n;\r\n"},
        {"a; b", "a; b"},  // one blank is no joint
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToDialogLines(c.stored), c.lines) << c.stored;
        EXPECT_EQ(ToStoredText(c.lines), c.stored) << c.stored;
    }
    // A line break typed without a semicolon stays a bare line break.
    EXPECT_EQ(ToStoredText("a\r\nb;\r\nc"), "a\r\nb;  c");
    // Paths join a Windows-1252 text in UTF-8; a text that takes none stays as it was.
    const std::string dropped[] = {"/x/\xc3\xa9t\xc3\xa9.wav"};
    EXPECT_EQ(AppendCommands("caf\xe9.pan", dropped),
              "caf\xc3\xa9.pan;\r\n/x/\xc3\xa9t\xc3\xa9.wav");
    EXPECT_EQ(AppendCommands("caf\xe9.pan", {}), "caf\xe9.pan");
}

class HotspotMouseKeysTest : public testing::Test {
  protected:
    void SetUp() override {
        WriteFileBytes(folder_ / "base.pan", CompactorPanorama());
        editor_.OpenPanoramaForEditing((folder_ / "base.pan").string());
        ASSERT_TRUE(editor_.HasPanorama());
    }
    void Send(std::uint32_t message, int x, int y, std::uintptr_t flags = 0) {
        platform::SendMessage(frame_.Handle(), message, flags, platform::MakeLParam(x, y));
    }
    void RightDrag(int x1, int y1, int x2, int y2) {
        Send(platform::WM_RBUTTONDOWN, x1, y1, platform::MK_RBUTTON);
        Send(platform::WM_MOUSEMOVE, (x1 + x2) / 2, (y1 + y2) / 2, platform::MK_RBUTTON);
        Send(platform::WM_RBUTTONUP, x2, y2);
        backend_.Pump();
    }
    void Key(int virtualKey) {
        platform::SendMessage(frame_.Handle(), platform::WM_KEYDOWN,
                              static_cast<std::uintptr_t>(virtualKey), 0);
        backend_.Pump();
    }
    // The heading and pitch the renderer gives for window point (x, y) in the present view.
    std::pair<double, double> HeadingPitchAt(int x, int y) {
        const std::optional<ProjectionView> view =
            CurrentProjection(*editor_.Viewer(), {512, 256});
        double heading = 0, pitch = 0;
        EXPECT_EQ(Renderer().XYtoHP(view->environment, view->viewer, Renderer::Orientation{},
                                    view->width, view->height, x, view->height - y, heading,
                                    pitch),
                  1);
        return {heading, pitch};
    }
    double Pan() {
        double pan = 0, tilt = 0, roll = 0, fov = 0;
        editor_.Viewer()->GetView(&pan, &tilt, &roll, &fov);
        return pan;
    }

    platform::HeadlessBackend backend_;
    HeadlessFrame frame_{backend_};
    LinksmithEditor editor_{frame_};
    TempFolder folder_;
};

TEST_F(HotspotMouseKeysTest, RightDragDrawsAHotspotThroughTheDefineDialog) {
    const auto [h1, p1] = HeadingPitchAt(200, 80);
    const auto [h2, p2] = HeadingPitchAt(300, 180);
    frame_.dialogAnswer = "a.pan;\r\nb.wav";
    // Drawn from either corner, the hotspot is the same.
    RightDrag(200, 80, 300, 180);
    RightDrag(300, 180, 200, 80);
    ASSERT_EQ(editor_.State().hotspots.size(), 2u);
    for (const HotspotRecord& record : editor_.State().hotspots) {
        EXPECT_DOUBLE_EQ(record.heading1, h1);
        EXPECT_DOUBLE_EQ(record.pitch1, p1);
        EXPECT_DOUBLE_EQ(record.heading2, h2);
        EXPECT_DOUBLE_EQ(record.pitch2, p2);
        EXPECT_EQ(record.description, "a.pan;  b.wav");
    }
    EXPECT_EQ(editor_.State().currentIndex, 1);
    EXPECT_TRUE(editor_.State().modified);
    EXPECT_EQ(frame_.dialogTexts, (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(frame_.popups.empty());
    EXPECT_FALSE(backend_.CursorClip().has_value());

    // The dialog shows the stored commands one a line; OK stores them back unchanged.
    frame_.dialogAnswer = std::nullopt;
    editor_.OnEditHotspotDescription();
    EXPECT_EQ(frame_.dialogTexts.back(), "a.pan;\r\nb.wav");
    frame_.dialogAnswer = "c.pan";
    editor_.OnEditHotspotDescription();
    EXPECT_EQ(editor_.State().hotspots[1].description, "c.pan");
    // A stored text that OK gives back as it was shown keeps its bytes, its joints included.
    ASSERT_TRUE(editor_.AddHotspot(Box(h1, h2, p1, p2, "e.pan;\r\nf.wav")));
    Key(platform::VK_TAB);
    ASSERT_EQ(editor_.State().currentIndex, 2);
    frame_.dialogAnswer = "e.pan;\r\nf.wav";
    editor_.OnEditHotspotDescription();
    EXPECT_EQ(editor_.State().hotspots[2].description, "e.pan;\r\nf.wav");
}

TEST_F(HotspotMouseKeysTest, CancelledDialogLeavesNoHotspotButMarksModified) {
    frame_.dialogAnswer = std::nullopt;
    RightDrag(200, 80, 300, 180);
    EXPECT_TRUE(editor_.State().hotspots.empty());
    EXPECT_EQ(editor_.State().currentIndex, kNoSelection);
    EXPECT_TRUE(editor_.State().modified);
}

TEST_F(HotspotMouseKeysTest, AHotspotBeyondTheFileCountIsRefusedBeforeItsDialog) {
    const std::vector<HotspotCorners> full(kMaxHotspots, HotspotCorners{-5, 5, 5, -5, "a.pan"});
    const std::string path = (folder_ / "full.pan").string();
    WriteFileBytes(path,
                   MakeContainer({{"BTMP", MakeBitmap(256, 128)}, {"HSPT", HotspotSection(full)}}));
    editor_.OpenPanoramaForEditing(path);
    ASSERT_EQ(editor_.State().hotspots.size(), kMaxHotspots);
    frame_.dialogAnswer = "b.pan";
    RightDrag(20, 20, 60, 60);
    EXPECT_EQ(editor_.State().hotspots.size(), kMaxHotspots);
    EXPECT_TRUE(frame_.dialogTexts.empty());
    EXPECT_FALSE(editor_.State().modified);
    EXPECT_EQ(editor_.State().currentIndex, kNoSelection);
    ASSERT_EQ(backend_.MessageBoxes().size(), 1u);
    EXPECT_EQ(backend_.MessageBoxes()[0].text, "A panorama holds at most 255 hotspots.");
    EXPECT_EQ(backend_.MessageBoxes()[0].owner, frame_.Handle());
}

TEST_F(HotspotMouseKeysTest, ClicksSelectAndShowTheirPopup) {
    ASSERT_TRUE(editor_.AddHotspot(Box(10, -10, 10, -10, "x")));
    const struct {
        int x1, y1, x2, y2;
        int selected;
        ContextPopup popup;
    } cases[] = {
        {256, 128, 256, 128, 0, ContextPopup::Edit},
        {5, 5, 5, 5, kNoSelection, ContextPopup::File},
        // Straight along one axis: a click, not a hotspot.
        {250, 128, 262, 128, 0, ContextPopup::Edit},
        {256, 120, 256, 140, 0, ContextPopup::Edit},
    };
    for (const auto& c : cases) {
        RightDrag(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(editor_.State().currentIndex, c.selected) << c.x1 << "," << c.y1;
        ASSERT_FALSE(frame_.popups.empty());
        EXPECT_EQ(frame_.popups.back(), c.popup) << c.x1 << "," << c.y1;
    }
    EXPECT_EQ(editor_.State().hotspots.size(), 1u);
    EXPECT_TRUE(frame_.dialogTexts.empty());
}

TEST_F(HotspotMouseKeysTest, TabStepsAndSwingsDeleteRemoves) {
    ASSERT_TRUE(editor_.AddHotspot(Box(80, 100, 10, -10, "east")));
    ASSERT_TRUE(editor_.AddHotspot(Box(195, 205, 5, -5, "south")));
    ASSERT_TRUE(editor_.AddHotspot(Box(200, 208, 5, -5, "near south")));
    const struct {
        int selected;
        double pan;
    } steps[] = {
        {0, 90}, {1, -160}, {2, -160},  // within 10 degrees: selected, the view stays
        {0, 90},                        // past the last: the first again
    };
    for (const auto& step : steps) {
        Key(platform::VK_TAB);
        EXPECT_EQ(editor_.State().currentIndex, step.selected);
        EXPECT_NEAR(Pan(), step.pan, 0.5) << step.selected;
    }
    std::int16_t rate = 0;
    editor_.Viewer()->GetFrameRate(&rate);
    EXPECT_GT(rate, 0);

    Key(platform::VK_DELETE);
    ASSERT_EQ(editor_.State().hotspots.size(), 2u);
    EXPECT_EQ(editor_.State().hotspots[0].description, "south");
    EXPECT_EQ(editor_.State().currentIndex, kNoSelection);
    EXPECT_TRUE(editor_.State().modified);
    editor_.OnFileSave();
    Key(platform::VK_DELETE);  // nothing selected: nothing changes
    EXPECT_EQ(editor_.State().hotspots.size(), 2u);
    EXPECT_FALSE(editor_.State().modified);

    Key(platform::VK_F1);
    EXPECT_EQ(frame_.helpContexts, std::vector<int>{2});
}

}  // namespace
