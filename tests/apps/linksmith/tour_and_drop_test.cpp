// The hotspot editor's tour of all hotspots and files dropped on its window, over a headless
// window with a real editor engine; nothing is started (the launcher only notes where the view
// stood when each hotspot's document was handed over).

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "apps/linksmith/hotspot_swing.h"
#include "apps/linksmith/linksmith_editor.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/program_launcher.h"
#include "platform/media/recording_media_service.h"
#include "tests/apps/linksmith/headless_frame.h"

namespace {

namespace fs = std::filesystem;

HotspotRecord Around(double heading, const std::string& text) {
    HotspotRecord record;
    record.heading1 = heading + 15;
    record.heading2 = heading - 15;
    record.pitch1 = 10;
    record.pitch2 = -10;
    record.description = text;
    return record;
}

// Notes each document handed over and the pan of the view at that moment.
class VisitLauncher final : public platform::ProgramLauncher {
  public:
    bool Launch(const platform::LaunchRequest&) override { return true; }
    bool Open(const std::string& target, int) override {
        visits.push_back(fs::path(target).filename().string());
        pans.push_back(pan());
        if (onOpen)
            onOpen(visits.size());
        return true;
    }
    std::vector<std::string> visits;
    std::vector<double> pans;
    std::function<double()> pan;
    std::function<void(std::size_t)> onOpen;
};

class TourAndDropTest : public testing::Test {
  protected:
    void SetUp() override {
        previousLauncher_ = platform::InstallProgramLauncher(launcher_);
        previousMedia_ = platform::InstallMediaService(media_);
        WriteFileBytes(folder_ / "base.pan", CompactorPanorama());
        WriteFileBytes(folder_ / "other.pan", CompactorPanorama());
        for (const char* name : {"h0.txt", "h1.txt", "h2.txt"})
            WriteFileBytes(folder_ / name, Bytes{'x'});
        editor_.OpenPanoramaForEditing((folder_ / "base.pan").string());
        ASSERT_TRUE(editor_.HasPanorama());
        launcher_->pan = [this] { return Pan(); };
        editor_.SetTourPause(1);
    }
    void TearDown() override {
        editor_.ClosePanorama();
        platform::InstallProgramLauncher(previousLauncher_);
        platform::InstallMediaService(previousMedia_);
    }
    double Pan() {
        double pan = 0, tilt = 0, roll = 0, fov = 0;
        editor_.Viewer()->GetView(&pan, &tilt, &roll, &fov);
        return pan;
    }
    void AddThree() {
        for (const auto& [heading, text] :
             {std::pair{60.0, "h0.txt"}, {0.0, "h1.txt"}, {-90.0, "h2.txt"}})
            ASSERT_TRUE(editor_.AddHotspot(Around(heading, text)));
    }

    std::shared_ptr<VisitLauncher> launcher_ = std::make_shared<VisitLauncher>();
    std::shared_ptr<platform::RecordingMediaService> media_ =
        std::make_shared<platform::RecordingMediaService>();
    std::shared_ptr<platform::ProgramLauncher> previousLauncher_;
    std::shared_ptr<platform::MediaService> previousMedia_;
    platform::HeadlessBackend backend_;
    HeadlessFrame frame_{backend_};
    LinksmithEditor editor_{frame_};
    TempFolder folder_;
};

TEST_F(TourAndDropTest, TourSwingsToEveryHotspotRunsItAndSelectsTheFirstAgain) {
    editor_.OnTourAllHotspots();
    EXPECT_TRUE(backend_.MessageBoxes().empty()) << "no hotspots, no tour";
    EXPECT_TRUE(launcher_->visits.empty());

    AddThree();
    editor_.OnTourAllHotspots();
    ASSERT_EQ(backend_.MessageBoxes().size(), 1u);
    EXPECT_EQ(backend_.MessageBoxes()[0].text,
              "Press the ESCAPE Key at any time to terminate Tour");
    EXPECT_EQ(backend_.MessageBoxes()[0].caption, "linksmith");
    EXPECT_EQ(launcher_->visits, (std::vector<std::string>{"h0.txt", "h1.txt", "h2.txt"}));
    const double centres[] = {60, 0, -90};
    for (std::size_t i = 0; i < launcher_->pans.size(); ++i)
        EXPECT_NEAR(WrapDegrees180(launcher_->pans[i] - centres[i]), 0, 0.5) << i;
    EXPECT_EQ(editor_.State().currentIndex, 0);
    EXPECT_NEAR(WrapDegrees180(Pan() - 60), 0, 0.5) << "the last Tab swung back to the first";
    EXPECT_FALSE(editor_.Viewer()->IsAnimating());
}

TEST_F(TourAndDropTest, EscapeEndsTheTourAtTheHotspotItWasPressedAt) {
    AddThree();
    launcher_->onOpen = [this](std::size_t visits) {
        if (visits == 2)
            backend_.Press(frame_.Handle(), platform::VK_ESCAPE);
    };
    editor_.OnTourAllHotspots();
    EXPECT_EQ(launcher_->visits, (std::vector<std::string>{"h0.txt", "h1.txt"}));
    EXPECT_EQ(editor_.State().currentIndex, 1) << "no Tab after an Escape";
    EXPECT_NEAR(WrapDegrees180(Pan()), 0, 0.5) << "the view stays at the second hotspot";
}

TEST_F(TourAndDropTest, FilesDroppedOnAHotspotJoinItsDescription) {
    ASSERT_TRUE(editor_.AddHotspot(Around(0, "old.wav")));
    HotspotRecord shown = editor_.State().hotspots[0];
    ASSERT_EQ(editor_.ProjectHotspot(shown), 1);
    const platform::Point inside{(shown.left + shown.right) / 2, (shown.top + shown.bottom) / 2};
    frame_.dialogAnswer = "old.wav;\r\n/x/a.wav;\r\n/x/b c.avi";
    editor_.OnDropFiles({"/x/a.wav", "/x/b c.avi"}, inside);
    EXPECT_EQ(frame_.dialogTexts, std::vector<std::string>{*frame_.dialogAnswer});
    EXPECT_EQ(editor_.State().hotspots[0].description, "old.wav;  /x/a.wav;  /x/b c.avi");
    EXPECT_EQ(editor_.State().currentIndex, 0);
    EXPECT_TRUE(backend_.MessageBoxes().empty());

    // Paths that would take the description beyond what the editor reads back stay out.
    const std::string full(kMaxDescriptionLength - 10, 'd');
    ASSERT_TRUE(editor_.AddHotspot(Around(0, full)));
    frame_.dialogAnswer = std::nullopt;
    frame_.dialogTexts.clear();
    editor_.OnDropFiles({"/x/a.wav", "/x/b.wav"}, inside);
    EXPECT_EQ(frame_.dialogTexts, std::vector<std::string>{full});
}

TEST_F(TourAndDropTest, OnePanoramaDroppedElsewhereOpensAfterTheSaveQuestion) {
    const std::string base = editor_.State().panoramaPath;
    const std::string other = platform::GetFullPathName((folder_ / "other.pan").string());
    // Two files, or a file off the hotspots with a cancelled question: nothing changes.
    editor_.OnDropFiles({other, other}, {5, 5});
    EXPECT_EQ(editor_.State().panoramaPath, base);
    ASSERT_TRUE(editor_.AddHotspot(Around(0, "x")));
    backend_.AnswerNextMessageBox(platform::IDCANCEL);
    editor_.OnDropFiles({other}, {5, 5});
    EXPECT_EQ(editor_.State().panoramaPath, base);
    EXPECT_TRUE(editor_.State().modified);
    ASSERT_EQ(backend_.MessageBoxes().size(), 1u);
    EXPECT_EQ(backend_.MessageBoxes()[0].text, "Save changes?");

    backend_.AnswerNextMessageBox(platform::IDNO);
    editor_.OnDropFiles({other}, {5, 5});
    EXPECT_EQ(editor_.State().panoramaPath, other);
    EXPECT_TRUE(editor_.State().hotspots.empty());
    EXPECT_FALSE(editor_.State().modified);
    EXPECT_EQ(editor_.State().currentIndex, kNoSelection);
    EXPECT_TRUE(frame_.dialogTexts.empty());
}

}  // namespace
