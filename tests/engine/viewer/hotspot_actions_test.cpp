#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "engine_fixture.h"
#include "engine_test_access.h"
#include "platform/files.h"
#include "platform/media/recording_media_service.h"
#include "platform/program_launcher.h"

namespace {

namespace fs = std::filesystem;
using Log = std::vector<std::string>;

const char* const kStopWave = "PlaySound(null, 0x2003)";

// Records the media calls as the recording service does, and where each wave sound was
// started from.
class WhereService final : public platform::MediaService {
  public:
    int SendString(std::string_view command, std::string* reply,
                   platform::MediaWindowId window) override {
        return recorder.SendString(command, reply, window);
    }
    bool PlayWave(const char* name, unsigned flags) override {
        if (name != nullptr)
            waveFolders.push_back(platform::GetCurrentDirectory());
        return recorder.PlayWave(name, flags);
    }
    platform::RecordingMediaService recorder;
    std::vector<std::string> waveFolders;
};

// An 8-bit avatar file of 2 x 2 pixels in one frame.
void WriteAvatar(const fs::path& path) {
    std::vector<char> bytes(54 + 1024 + 4, 0);
    auto put32 = [&bytes](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bytes.size()));
    put32(10, 1078);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    bytes[26] = 1;
    bytes[28] = 8;
    put32(46, 256);
    for (int i = 0; i < 4; ++i)
        bytes[1078 + i] = static_cast<char>(i + 1);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
}

class HotspotActionsTest : public EngineFixture {
  protected:
    void SetUp() override {
        savedDirectory_ = platform::GetCurrentDirectory();
        folder_ = fs::path(platform::GetTempPath()) /
                  ("actions-" + std::to_string(platform::CurrentProcessId()) + "-" +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        Write("room.pan", MakeContainer({{"BTMP", MakeBitmap(256, 128)},
                                         {"HSPT", HotspotSection({{-15, -15, 15, 15, ""}})},
                                         {"FILE", FileSection({{"~loop.wav", "RIFF"}})}}));
        Write("next.pan", MakeContainer({{"BTMP", MakeBitmap(256, 128)}}));
        Write("bad.pan", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'a', 'n'});
        Write("notes.txt", Bytes{'h', 'i'});
        WriteAvatar(folder_ / "walker.avt");
        Write("walker.wav", Bytes{'R', 'I', 'F', 'F'});
        std::ofstream(folder_ / "edit") << "#!/bin/sh\nexit 0\n";
        ::chmod((folder_ / "edit").c_str(), 0755);

        media_ = std::make_shared<WhereService>();
        previousMedia_ = platform::InstallMediaService(media_);
        launcher_ = std::make_shared<platform::RecordingLauncher>();
        previousLauncher_ = platform::InstallProgramLauncher(launcher_);

        window = backend.CreateWindow({320, 240}, {100, 50});
        engine.OpenPanorama((folder_ / "room.pan").c_str(), window, kNotify, 50, 3);
        ASSERT_EQ(engine.AttachWindow(), 1);
        media_->recorder.ClearLog();
        media_->waveFolders.clear();
    }
    void TearDown() override {
        engine.DetachWindow();
        engine.ClosePanorama(0, 0);
        platform::InstallMediaService(previousMedia_);
        platform::InstallProgramLauncher(previousLauncher_);
        platform::SetCurrentDirectory(savedDirectory_);
        fs::remove_all(folder_);
    }
    void Write(const std::string& name, const Bytes& bytes) {
        std::ofstream(folder_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
    int Run(const std::string& text) {
        engine.GetHotspot(0)->SetTarget(text.c_str());
        return engine.RunHotspotAction(0);
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const platform::MessageBoxRecord& box : backend.MessageBoxes()) {
            EXPECT_EQ(box.caption, "Halvex");
            EXPECT_EQ(box.owner, window);
            texts.push_back(box.text);
        }
        return texts;
    }
    std::string Dir() const { return folder_.string(); }

    fs::path folder_;
    std::string savedDirectory_;
    std::shared_ptr<WhereService> media_;
    std::shared_ptr<platform::MediaService> previousMedia_;
    std::shared_ptr<platform::RecordingLauncher> launcher_;
    std::shared_ptr<platform::ProgramLauncher> previousLauncher_;
};

TEST_F(HotspotActionsTest, RepeatedEmbeddedSoundLoopsFromTheExtractionFolder) {
    EXPECT_EQ(Run("(repeat)~loop.wav"), 1);
    EXPECT_EQ(media_->recorder.Log(), (Log{kStopWave, kStopWave, "PlaySound(~loop.wav, 0x2200B)"}));
    ASSERT_EQ(media_->waveFolders.size(), 1u);
    EXPECT_EQ(fs::path(media_->waveFolders[0]),
              fs::path(engine.TempExtractDirectory()).parent_path());
    EXPECT_EQ(fs::path(platform::GetCurrentDirectory()), folder_) << "the folder is restored";
    EXPECT_EQ(Access::PlayingMedia(engine), -1);
}

TEST_F(HotspotActionsTest, VideoAfterAPanoramaNeedsAWholeWindowPlacement) {
    const Log panoramaSteps = {kStopWave, kStopWave, kStopWave,
                               "PlaySound(" + Dir() + "/next.wav, 0x2200B)"};
    const std::string w = std::to_string(window);

    EXPECT_EQ(Run("next.pan;(full window)intro.avi"), 1);
    Log expected = panoramaSteps;
    expected.insert(expected.end(),
                    {kStopWave, "open intro.avi parent " + w + " style popup",
                     "put intro.avi window at 100 50 320 240", "play intro.avi notify"});
    EXPECT_EQ(media_->recorder.Log(), expected);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Access::Media(engine).deviceName, "intro.avi");
    EXPECT_EQ(Access::PlayingMedia(engine), 0);
    EXPECT_EQ(Access::State(engine)->hotspotCount, 0) << "next.pan is loaded";

    engine.OpenPanorama((folder_ / "room.pan").c_str(), window, kNotify, 50, 3);
    engine.AttachWindow();
    media_->recorder.ClearLog();
    EXPECT_EQ(Run("next.pan;intro.avi"), 1);
    EXPECT_EQ(media_->recorder.Log(), panoramaSteps);
    EXPECT_EQ(Messages(), Log{"Video off screen"});
}

TEST_F(HotspotActionsTest, VideoPlaysOverItsHotspotOrFullScreen) {
    int left = 0, top = 0, right = 0, bottom = 0;
    ASSERT_EQ(engine.GetHotspot(0)->GetScreenRect(&left, &top, &right, &bottom), 0);
    EXPECT_EQ(Run("~clip one.avi"), 1);
    const std::string w = std::to_string(window);
    const std::string put = "put ~clip one.avi window at " + std::to_string(100 + left) + " " +
                            std::to_string(50 + top) + " " + std::to_string(right - left) + " " +
                            std::to_string(bottom - top);
    EXPECT_EQ(media_->recorder.Log(),
              (Log{kStopWave, "open ~clip one.avi parent " + w + " style popup", put,
                   "play ~clip one.avi notify"}));

    media_->recorder.ClearLog();
    backend.SetScreenSize({800, 600});
    EXPECT_EQ(Run("(full screen)big.avi"), 1);
    EXPECT_EQ(media_->recorder.Log(),
              (Log{"close ~clip one.avi", kStopWave, "open big.avi parent 0 style popup",
                   "put big.avi window at 0 0 800 600", "play big.avi notify"}));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(HotspotActionsTest, MediaFailuresAreReportedAndLeaveNothingOpen) {
    media_->recorder.FailCommandsStartingWith("put ", 7);
    media_->recorder.FailCommandsStartingWith("open bad", 3);
    EXPECT_EQ(Run("(full window)a.avi;bad.avi;bad.wav;(repeat)bad.wav"), 1);
    EXPECT_EQ(Messages(),
              (Log{"Failed to run Video", "Failed to run Video", "Failed to run audio"}));
    const Log log = media_->recorder.Log();
    EXPECT_NE(std::find(log.begin(), log.end(), "close a.avi"), log.end());
    EXPECT_FALSE(Access::Media(engine).IsDeviceOpen());
    EXPECT_EQ(Access::PlayingMedia(engine), -1);
}

TEST_F(HotspotActionsTest, AnEmptyCommandEndsTheText) {
    EXPECT_EQ(Run("a.wav;;edit.exe"), 1);
    EXPECT_EQ(media_->recorder.Log(), (Log{kStopWave, "open a.wav", "play a.wav from 0"}));
    EXPECT_TRUE(launcher_->Log().empty());
}

TEST_F(HotspotActionsTest, ProgramsAndDocuments) {
    EXPECT_EQ(Run("(maximized)edit.exe notes.txt;(minimized)edit.EXE;missing.exe;notes.txt;"
                  "(maximized)gone.doc"),
              1);
    EXPECT_EQ(launcher_->Log(),
              (Log{"run " + Dir() + "/edit notes.txt show 3", "run " + Dir() + "/edit show 2",
                   "open " + Dir() + "/notes.txt show 1"}));
    EXPECT_EQ(Messages(), (Log{"Failed to run program", "gone.doc"}));

    launcher_->openResult = false;
    EXPECT_EQ(Run("notes.txt"), 1);
    EXPECT_EQ(Messages().back(), "notes.txt") << "no application for the document";
}

// A tour copied from the original platform names its files in Windows-1252 while Linux holds
// them under their UTF-8 names; a text changed in the editor (stored as UTF-8) still finds an
// older file of Windows-1252 name.
TEST_F(HotspotActionsTest, AFileIsFoundAsStoredThenUnderItsOtherEncoding) {
    Write("r\xc3\xa9sum\xc3\xa9.txt", Bytes{'h', 'i'});
    Write("na\xefve.txt", Bytes{'h', 'i'});
    Write("caf\xc3\xa9.pan", MakeContainer({{"BTMP", MakeBitmap(256, 128)}}));
    Write("caf\xc3\xa9.wav", Bytes{'R', 'I', 'F', 'F'});
    EXPECT_EQ(Run("r\xe9sum\xe9.txt;na\xc3\xafve.txt;caf\xe9.pan"), 1);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(launcher_->Log(), (Log{"open " + Dir() + "/r\xc3\xa9sum\xc3\xa9.txt show 1",
                                     "open " + Dir() + "/na\xefve.txt show 1"}));
    EXPECT_EQ(Access::State(engine)->hotspotCount, 0) << "the panorama is loaded";
    EXPECT_EQ(media_->recorder.Log().back(), "PlaySound(" + Dir() + "/caf\xc3\xa9.wav, 0x2200B)");
}

TEST_F(HotspotActionsTest, APanoramaNamedLikeAProgramIsAPanorama) {
    EXPECT_EQ(Run("tour.pan.exe"), 1);
    EXPECT_TRUE(launcher_->Log().empty());
    EXPECT_EQ(Messages(), Log{"Failed to load panorama"});
    EXPECT_EQ(Access::State(engine)->hotspotCount, 1) << "the open panorama stays";
}

TEST_F(HotspotActionsTest, APanoramaThatFailsToLoadEndsTheRun) {
    EXPECT_EQ(Run("bad.pan;a.wav"), 0);
    ASSERT_EQ(Messages().size(), 1u);
    const Log log = media_->recorder.Log();
    EXPECT_EQ(std::find(log.begin(), log.end(), "open a.wav"), log.end());
    EXPECT_FALSE(engine.IsLoaded());
}

TEST_F(HotspotActionsTest, PreserveViewCarriesTheViewOver) {
    engine.SetView(40, 5, 0, 70, 0);
    EXPECT_EQ(Run("(preserve view)next.pan"), 1);
    double p = 0, t = 0, r = 0, f = 0;
    engine.GetView(&p, &t, &r, &f);
    EXPECT_EQ(p, 40);
    EXPECT_EQ(t, 5);
    EXPECT_EQ(f, 70);
}

TEST_F(HotspotActionsTest, SwingToTurnsAtHalfTheFrameRateAndRestoresIt) {
    EXPECT_EQ(Run("#swingto(90,0,0,60,0)"), 1);
    double p = 0, t = 0, r = 0, f = 0;
    engine.GetView(&p, &t, &r, &f);
    // Half a second at 25 frames a second is 12 whole frames of 7.2 degrees.
    EXPECT_NEAR(p, 86.4, 7.3);
    EXPECT_NEAR(t, 0, 1e-9);
    EXPECT_NEAR(f, 60, 1e-9);
    std::int16_t rate = 0;
    engine.GetFrameRate(&rate);
    EXPECT_EQ(rate, 50);
    EXPECT_EQ(Access::RateReversed(engine), 0);
    double velocity = 1;
    engine.GetPanVelocity(&velocity);
    EXPECT_EQ(velocity, 0);
}

TEST_F(HotspotActionsTest, MalformedCommandsDoNothing) {
    engine.SetView(10, 0, 0, 60, 0);
    EXPECT_EQ(Run("#swingto(90,0);#zoom(2);(repeat ~loop.wav;   "), 1);
    double p = 0, t = 0, r = 0, f = 0;
    engine.GetView(&p, &t, &r, &f);
    EXPECT_EQ(p, 10);
    std::int16_t rate = 0;
    engine.GetFrameRate(&rate);
    EXPECT_EQ(rate, 50);
    EXPECT_TRUE(media_->recorder.Log().empty());
    EXPECT_TRUE(launcher_->Log().empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(HotspotActionsTest, AFourthAvatarInThreeSlotsIsRefused) {
    EXPECT_EQ(Run("walker.avt;walker.avt;(0.5,0)walker.avt;walker.avt"), 1);
    EXPECT_EQ(Messages(), Log{"Maximum number of avatars exceeded"});
    for (std::int16_t i = 0; i < 3; ++i) {
        std::int16_t column = 0, row = 0;
        EXPECT_EQ(engine.GetAvatar(i)->IsEmpty(&column, &row), 0) << i;
        ASSERT_NE(Access::AvatarSounds(engine)[static_cast<std::size_t>(i)], nullptr) << i;
        EXPECT_EQ(*Access::AvatarSounds(engine)[static_cast<std::size_t>(i)],
                  Dir() + "/walker.wav");
    }
    EXPECT_EQ(Access::Animating(engine), 1);
    EXPECT_EQ(engine.GetAvatar(0)->Snapshot().visible, 1);
    EXPECT_EQ(engine.GetAvatar(2)->Snapshot().columnRate, 0.5);
}

TEST_F(HotspotActionsTest, AvatarsAfterAPanoramaOrMissingAreReported) {
    EXPECT_EQ(Run("absent.avt;next.pan;walker.avt"), 1);
    EXPECT_EQ(Messages(), (Log{"Failed to load Avatar", "Avatar Off Screen"}));
}

// An action text run by an engine with no panorama: what needs none runs as from a hotspot,
// what needs a hotspot or a panorama's slots is reported, and a panorama command loads one.
TEST_F(HotspotActionsTest, ActionTextsRunWithoutALoadedPanorama) {
    ViewerEngine bare;
    platform::SetCurrentDirectory(Dir());
    const struct {
        const char* text;
        int result;
        Log launches;
        Log messages;
    } cases[] = {
        {"edit.exe notes.txt;notes.txt", 1,
         {"run " + Dir() + "/edit notes.txt show 1", "open " + Dir() + "/notes.txt show 1"}, {}},
        {"a.avi;walker.avt;#swingto(10,0,0,60,500)", 1, {}, {"Video off screen",
                                                             "Maximum number of avatars exceeded"}},
        {"missing.pan;edit.exe", 1, {"run " + Dir() + "/edit show 1"}, {"Failed to load panorama"}},
        {"bad.pan;edit.exe", 0, {}, {"File Type Error: Unsupported File Format"}},
    };
    for (const auto& c : cases) {
        launcher_->ClearLog();
        backend.ClearMessageBoxes();
        EXPECT_EQ(bare.RunActionText(c.text, -1), c.result) << c.text;
        EXPECT_EQ(launcher_->Log(), c.launches) << c.text;
        Log texts;
        for (const platform::MessageBoxRecord& box : backend.MessageBoxes())
            texts.push_back(box.text);
        EXPECT_EQ(texts, c.messages) << c.text;
        EXPECT_FALSE(bare.IsLoaded()) << c.text;
    }
    media_->recorder.ClearLog();
    EXPECT_EQ(bare.RunActionText("(repeat)a.wav;next.pan", -1), 1);
    const Log played = media_->recorder.Log();
    EXPECT_NE(std::find(played.begin(), played.end(), "PlaySound(a.wav, 0x2200B)"), played.end())
        << testing::PrintToString(played);
    EXPECT_TRUE(bare.IsLoaded()) << "a panorama command loads into the bare engine";
    bare.Close();
}

}  // namespace
