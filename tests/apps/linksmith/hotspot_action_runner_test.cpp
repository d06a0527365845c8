// The hotspot editor's own action runner over a headless window with a real editor engine:
// every kind of command through the recording media service and launcher (nothing is played
// or started), the exact failure texts, the folders commands run in, the avatar in slot 0,
// the one-turn panorama preview, and the suite's own programs.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "apps/linksmith/hotspot_action_runner.h"
#include "apps/linksmith/linksmith_editor.h"
#include "engine/avatar_file/avatar_file.h"
#include "engine/avatar_file/packed_dib.h"
#include "engine/viewer/avatar.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/program_launcher.h"
#include "platform/media/recording_media_service.h"
#include "tests/apps/linksmith/headless_frame.h"
#include "tests/engine/viewer/test_panoramas.h"

namespace {

namespace fs = std::filesystem;
using Log = std::vector<std::string>;

const std::string kStop = "PlaySound(null, 0x2003)";

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

HotspotRecord Record(const std::string& text, double heading = 0) {
    HotspotRecord record;
    record.heading1 = heading + 20;
    record.heading2 = heading - 20;
    record.pitch1 = 10;
    record.pitch2 = -10;
    record.description = text;
    return record;
}

// The recording services, installed for the fixture's whole life (the editor stops its media
// when it goes).
struct RecordingServices {
    RecordingServices()
        : media(std::make_shared<platform::RecordingMediaService>()),
          launcher(std::make_shared<platform::RecordingLauncher>()),
          previousMedia(platform::InstallMediaService(media)),
          previousLauncher(platform::InstallProgramLauncher(launcher)) {}
    ~RecordingServices() {
        platform::InstallMediaService(previousMedia);
        platform::InstallProgramLauncher(previousLauncher);
    }
    std::shared_ptr<platform::RecordingMediaService> media;
    std::shared_ptr<platform::RecordingLauncher> launcher;
    std::shared_ptr<platform::MediaService> previousMedia;
    std::shared_ptr<platform::ProgramLauncher> previousLauncher;
};

class HotspotActionRunnerTest : public testing::Test {
  protected:
    void SetUp() override {
        WriteFileBytes(
            folder_ / "room.pan",
            MakeContainer({{"BTMP", MakeBitmap(256, 128)},
                           {"FILE", FileSection({{"~loop.wav", "RIFF"}, {"~readme.txt", "hi"}})}}));
        WriteFileBytes(folder_ / "next.pan", CompactorPanorama());
        WriteText(folder_ / "notes.txt", "notes");
        WriteText(folder_ / "edit", "#!/bin/sh\nexit 0\n");
        ::chmod((folder_ / "edit").c_str(), 0755);
        std::optional<PackedDib> avatar = NewPackedDib(2, 2, 8);
        ASSERT_TRUE(avatar && WriteAvatarFile((folder_ / "walk.avt").string(), *avatar));
        editor_.OpenPanoramaForEditing((folder_ / "room.pan").string());
        ASSERT_TRUE(editor_.HasPanorama());
        services_.media->ClearLog();
        backend_.ClearMessageBoxes();
    }
    void TearDown() override { platform::SetCurrentDirectory(savedDirectory_); }

    // The texts of the boxes shown since the last call; each is the plain box of the program.
    Log Messages() {
        Log texts;
        for (const platform::MessageBoxRecord& box : backend_.MessageBoxes()) {
            EXPECT_EQ(box.caption, "linksmith");
            EXPECT_EQ(box.owner, frame_.Handle());
            EXPECT_EQ(box.type, platform::MB_OK);
            texts.push_back(box.text);
        }
        backend_.ClearMessageBoxes();
        return texts;
    }
    std::string Dir() const { return folder_.Path().string(); }
    std::string W() const { return std::to_string(frame_.Handle()); }

    const std::string savedDirectory_ = platform::GetCurrentDirectory();
    RecordingServices services_;
    platform::HeadlessBackend backend_;
    HeadlessFrame frame_{backend_};
    LinksmithEditor editor_{frame_};
    TempFolder folder_;
};

TEST_F(HotspotActionRunnerTest, SoundsAndVideosThroughTheFramesPlayer) {
    backend_.SetScreenSize({800, 600});
    const struct {
        const char* text;
        Log media;
    } cases[] = {
        {"a.wav", {kStop, kStop, "open a.wav", "play a.wav from 0"}},
        {"(repeat)~loop.wav", {kStop, kStop, kStop, "PlaySound(~loop.wav, 0x2200B)"}},
        // Every sound or video stops the one before: only the video keeps playing.
        {"a.wav;(full window) b.avi",
         {kStop, kStop, "open a.wav", "play a.wav from 0", "close a.wav", kStop,
          "open b.avi parent " + W() + " style popup", "put b.avi window at 0 0 512 256",
          "play b.avi notify"}},
        {"(full screen)big.avi",
         {kStop, kStop, "open big.avi parent 0 style popup", "put big.avi window at 0 0 800 600",
          "play big.avi notify"}},
    };
    for (const auto& c : cases) {
        editor_.StopFrameMedia();
        services_.media->ClearLog();
        EXPECT_EQ(editor_.RunHotspotAction(Record(c.text)), 1);
        EXPECT_EQ(services_.media->Log(), c.media) << c.text;
        EXPECT_TRUE(Messages().empty()) << c.text;
    }
    // A video over its hotspot plays in the rectangle the hotspot has on screen now.
    HotspotRecord placed = Record("clip.avi");
    ASSERT_EQ(editor_.ProjectHotspot(placed), 1);
    editor_.StopFrameMedia();
    services_.media->ClearLog();
    editor_.RunHotspotAction(Record("clip.avi"));
    EXPECT_EQ(
        services_.media->Log(),
        (Log{kStop, kStop, "open clip.avi parent " + W() + " style popup",
             "put clip.avi window at " + std::to_string(placed.left) + " " +
                 std::to_string(placed.top) + " " + std::to_string(placed.right - placed.left) +
                 " " + std::to_string(placed.bottom - placed.top),
             "play clip.avi notify"}));
    // The frame's media notice closes the device.
    platform::SendMessage(frame_.Handle(), platform::MM_MCINOTIFY);
    EXPECT_EQ(services_.media->Log().back(), kStop);
    EXPECT_EQ(services_.media->Log()[services_.media->Log().size() - 2], "close clip.avi");
}

TEST_F(HotspotActionRunnerTest, ProgramsAndDocumentsRunFromThePanoramasFolder) {
    const std::string extraction = fs::path(editor_.Viewer()->TempExtractDirectory()).string();
    const struct {
        const char* text;
        Log launches;
    } cases[] = {
        {"(maximized)edit.exe notes.txt", {"run " + Dir() + "/edit notes.txt show 3"}},
        {"(minimized)notes.txt", {"open " + Dir() + "/notes.txt show 2"}},
        {"notes.txt;  edit.EXE",
         {"open " + Dir() + "/notes.txt show 1", "run " + Dir() + "/edit show 1"}},
        // An embedded document is opened in the extraction folder.
        {"~readme.txt", {"open " + (fs::path(extraction) / "~readme.txt").string() + " show 1"}},
    };
    platform::SetCurrentDirectory("/");
    for (const auto& c : cases) {
        services_.launcher->ClearLog();
        EXPECT_EQ(editor_.RunHotspotAction(Record(c.text)), 1);
        EXPECT_EQ(services_.launcher->Log(), c.launches) << c.text;
        EXPECT_TRUE(Messages().empty()) << c.text;
        EXPECT_EQ(platform::GetCurrentDirectory(), "/") << "the directory comes back";
    }
}

TEST_F(HotspotActionRunnerTest, FailuresShowTheirTextsAndTheNextCommandsStillRun) {
    services_.media->FailCommandsStartingWith("open bad", 3);
    services_.media->FailCommandsStartingWith("put broken", 7);
    const struct {
        const char* text;
        Log messages;
        double heading = 0;
    } cases[] = {
        {"", {""}},
        {"  \r\n ", {""}},
        {"clip.avi", {"Video off screen:\nclip.avi"}, 180},
        {"(full window)bad.avi", {"Failed to run video:\nbad.avi"}},
        {"(full window) broken.avi", {"Failed to run video:\nbroken.avi"}},
        {"bad.wav;(repeat)bad.wav", {"Failed to run audio: bad.wav"}},
        {"(1,2)missing.avt", {"Failed to load avatar: missing.avt"}},
        {"missing.exe now", {"Failed to run program: missing.exe now"}},
        {"missing.pan", {"missing.pan:\n\nFile I/O Error: Cannot Open Specified File"}},
        {"(preserve view)next.pan",
         {"(preserve view)next.pan:\n\nFile I/O Error: Cannot Open Specified File"}},
        {"nothing.txt;bad.wav", {"nothing.txt", "Failed to run audio: bad.wav"}},
        // An empty command, a script and a video with its option behind it go to the shell
        // with nothing left to open.
        {"a.wav; ;#swingto(1,2,3,4,5)", {"", ""}},
        {"clip.avi (full screen)", {""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(editor_.RunHotspotAction(Record(c.text, c.heading)), 1);
        EXPECT_EQ(Messages(), c.messages) << c.text;
    }
    EXPECT_TRUE(services_.launcher->Log().empty());
    EXPECT_EQ(frame_.children.size(), 2u) << "each preview had its window";
    for (platform::WindowHandle child : frame_.children)
        EXPECT_FALSE(platform::IsWindow(child));
    services_.launcher->launchResult = false;
    editor_.RunHotspotAction(Record("edit.exe"));
    EXPECT_EQ(Messages(), Log{"Failed to run program: edit.exe"});
}

TEST_F(HotspotActionRunnerTest, AvatarStandsInSlotZeroOnTheHotspotsBox) {
    const HotspotRecord record = Record("(0.5,0)walk.avt", 90);
    EXPECT_EQ(editor_.RunHotspotAction(record), 1);
    EXPECT_TRUE(Messages().empty());
    Avatar* avatar = editor_.Viewer()->GetAvatar(0);
    ASSERT_TRUE(avatar->HasImage());
    EXPECT_TRUE(editor_.Viewer()->IsAnimating());
    const AvatarSlot slot = avatar->Snapshot();
    EXPECT_DOUBLE_EQ(slot.columnRate, 0.5);
    const AvatarBox box = AvatarBoxOf(record);
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_DOUBLE_EQ(slot.position[axis], box.centre[axis]) << axis;
    // Heading 90 lies to the left (negative x); the box spans 40 degrees of heading and 20 of
    // pitch on a sphere of radius 10.
    const double degree = std::acos(0.0) / 90;
    EXPECT_NEAR(box.centre[0], -10 * std::sin(70 * degree) * std::cos(10 * degree), 1e-9);
    EXPECT_NEAR(box.size[2], 20 * std::sin(10 * degree), 1e-9);
    // Any key takes the avatar away again; Tab then swings to the hotspot although the
    // avatar's frames were running endlessly.
    ASSERT_TRUE(editor_.AddHotspot(record));
    platform::SendMessage(frame_.Handle(), platform::WM_KEYDOWN, platform::VK_TAB, 0);
    EXPECT_FALSE(avatar->HasImage());
    EXPECT_FALSE(editor_.Viewer()->IsAnimating());
    double pan = 0, tilt = 0, roll = 0, fov = 0;
    editor_.Viewer()->GetView(&pan, &tilt, &roll, &fov);
    EXPECT_NEAR(pan, 90, 0.5);
}

TEST_F(HotspotActionRunnerTest, PanoramaPreviewTurnsOnceInAChildWindowAndComesBack) {
    EXPECT_EQ(editor_.RunHotspotAction(Record("next.pan")), 1);
    EXPECT_TRUE(Messages().empty());
    ASSERT_EQ(frame_.children.size(), 1u);
    const platform::WindowHandle child = frame_.children.front();
    EXPECT_FALSE(platform::IsWindow(child));
    ASSERT_EQ(frame_.childPaints.size(), 1u);
    EXPECT_GT(frame_.childPaints.front(), 1u) << "the turn was shown frame by frame";
    EXPECT_EQ(editor_.Viewer()->AttachWindow(), 0) << "the editor's engine is bound again";
}

// A tour copied from the original platform names its files in Windows-1252; copied to Linux,
// the files carry the UTF-8 forms of those names.
TEST_F(HotspotActionRunnerTest, ACodePageNameFindsTheFileOfItsUtf8Name) {
    WriteFileBytes(folder_ / "caf\xc3\xa9.pan", CompactorPanorama());
    EXPECT_EQ(editor_.RunHotspotAction(Record("caf\xe9.pan")), 1);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(frame_.children.size(), 1u) << "the preview ran";
}

TEST(SuiteProgram, SuiteNamesAreFoundBesideOrOnThePathOthersAreNot) {
    TempFolder bin;
    WriteText(bin / "compactor", "#!/bin/sh\nexit 0\n");
    ::chmod((bin / "compactor").c_str(), 0755);
    const char* saved = std::getenv("PATH");
    const std::string savedPath = saved ? saved : "";
    ::setenv("PATH", bin.Path().c_str(), 1);
    EXPECT_EQ(SuiteProgramFor("Compactor.exe"), (bin / "compactor").string());
    EXPECT_EQ(SuiteProgramFor("COMPACTOR"), (bin / "compactor").string());
    EXPECT_EQ(SuiteProgramFor("roamer.exe"), "") << "not installed";
    EXPECT_EQ(SuiteProgramFor("./compactor"), "") << "a path is taken as it stands";
    WriteText(bin / "tool", "#!/bin/sh\nexit 0\n");
    ::chmod((bin / "tool").c_str(), 0755);
    EXPECT_EQ(SuiteProgramFor("tool.exe"), "") << "not one of the suite";

    platform::HeadlessBackend backend;
    HeadlessFrame frame(backend);
    RecordingServices services;
    {
        LinksmithEditor editor(frame);
        TempFolder folder;
        WriteFileBytes(folder / "base.pan", CompactorPanorama());
        editor.OpenPanoramaForEditing((folder / "base.pan").string());
        editor.RunHotspotAction(Record("Compactor.exe -dialog"));
    }
    ::setenv("PATH", savedPath.c_str(), 1);
    EXPECT_EQ(services.launcher->Log(),
              Log{"run " + (bin / "compactor").string() + " -dialog show 1"});
    EXPECT_TRUE(backend.MessageBoxes().empty());
}

}  // namespace
