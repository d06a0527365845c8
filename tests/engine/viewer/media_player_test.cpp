#include "engine/viewer/media_player.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/media/recording_media_service.h"

namespace {

using Log = std::vector<std::string>;

class MediaPlayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        recorder_ = std::make_shared<platform::RecordingMediaService>();
        previous_ = platform::InstallMediaService(recorder_);
    }
    void TearDown() override { platform::InstallMediaService(previous_); }
    std::shared_ptr<platform::RecordingMediaService> recorder_;
    std::shared_ptr<platform::MediaService> previous_;
};

const char* const kStopWave = "PlaySound(null, 0x2003)";

TEST_F(MediaPlayerTest, ModesSendTheirCommandsInOrder) {
    struct Case {
        const char* name;
        bool deviceOpen;
        int mode;
        int result;
        Log log;
        const char* deviceAfter;
    };
    const Case cases[] = {
        {"restart when idle",
         false,
         MediaPlayer::kRestart,
         MediaPlayer::kStarted,
         {kStopWave, "open my a.wav", "play my a.wav from 7"},
         "my a.wav"},
        {"restart over a device",
         true,
         MediaPlayer::kRestart,
         MediaPlayer::kStarted,
         {"close old.avi", kStopWave, "open my a.wav", "play my a.wav from 7"},
         "my a.wav"},
        {"plain while a device is open", true, 0, MediaPlayer::kBusy, {}, "old.avi"},
        {"plain when idle, notified",
         false,
         MediaPlayer::kNotify,
         MediaPlayer::kStarted,
         {"open my a.wav", "play my a.wav from 7 notify"},
         "my a.wav"},
        {"loop over a device",
         true,
         MediaPlayer::kLoop | MediaPlayer::kRestart,
         MediaPlayer::kStarted,
         {"close old.avi", kStopWave, kStopWave, "PlaySound(my a.wav, 0x2200B)"},
         ""},
        {"resume of a device",
         true,
         MediaPlayer::kResume,
         MediaPlayer::kStarted,
         {"status old.avi position", "close old.avi", "open my a.wav",
          "play my a.wav from 7 notify"},
         "my a.wav"},
        {"resume when idle",
         false,
         MediaPlayer::kResume,
         MediaPlayer::kStarted,
         {"open my a.wav", "play my a.wav from 7"},
         "my a.wav"},
    };
    for (const Case& c : cases) {
        recorder_->ClearLog();
        MediaPlayer player;
        player.deviceName = c.deviceOpen ? "old.avi" : "";
        EXPECT_EQ(player.Play("my a.wav", c.mode, 5, 7), c.result) << c.name;
        EXPECT_EQ(recorder_->Log(), c.log) << c.name;
        EXPECT_EQ(player.deviceName, c.deviceAfter) << c.name;
        player.deviceName.clear();
    }
}

TEST_F(MediaPlayerTest, FailuresLeaveNoDeviceOpen) {
    MediaPlayer player;
    recorder_->FailCommandsStartingWith("open ", platform::kMciCannotOpen);
    EXPECT_EQ(player.Play("a.wav", MediaPlayer::kRestart, 0, 0), MediaPlayer::kFailed);
    EXPECT_FALSE(player.IsDeviceOpen());

    auto recorder = std::make_shared<platform::RecordingMediaService>();
    platform::InstallMediaService(recorder);
    recorder->FailCommandsStartingWith("play ", platform::kMciCannotPlay);
    EXPECT_EQ(player.Play("a.wav", MediaPlayer::kRestart, 0, 0), MediaPlayer::kFailed);
    EXPECT_FALSE(player.IsDeviceOpen());
    EXPECT_EQ(recorder->Log(), (Log{kStopWave, "open a.wav", "play a.wav from 0", "close a.wav"}));
}

TEST_F(MediaPlayerTest, StopClosesOnlyAnOpenDeviceAndAlwaysStopsWaveSound) {
    {
        MediaPlayer player;
        player.Stop();
        EXPECT_EQ(recorder_->Log(), Log{kStopWave});
        recorder_->ClearLog();
        player.deviceName = "clip.avi";
    }
    // Destruction stops the media too.
    EXPECT_EQ(recorder_->Log(), (Log{"close clip.avi", kStopWave}));
}

TEST_F(MediaPlayerTest, ResumeKeepsThePositionReply) {
    MediaPlayer player;
    player.deviceName = "song.wav";
    player.Play("song.wav", MediaPlayer::kResume, 0, 0);
    EXPECT_EQ(player.resumeName, "song.wav");
    EXPECT_EQ(player.positionReply, "0");
    player.deviceName.clear();
}

}  // namespace
