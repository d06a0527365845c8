#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ffmpeg_media_backend.h"
#include "platform/mci_interpreter.h"
#include "platform/media_decoder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

void PutLe(std::vector<char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Writes a 16-bit PCM wave file holding a tone of `ms` milliseconds.
void WriteWave(const fs::path& path, int sampleRate, int channels, int ms) {
    const std::uint32_t frames = static_cast<std::uint32_t>(sampleRate) * ms / 1000;
    const std::uint32_t dataBytes = frames * channels * 2;
    std::vector<char> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutLe(out, 36 + dataBytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);
    PutLe(out, channels, 2);
    PutLe(out, sampleRate, 4);
    PutLe(out, sampleRate * channels * 2, 4);
    PutLe(out, channels * 2, 2);
    PutLe(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLe(out, dataBytes, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        auto sample = static_cast<std::int16_t>(8000 * std::sin(i * 0.06));
        for (int c = 0; c < channels; ++c) PutLe(out, static_cast<std::uint16_t>(sample), 2);
    }
    std::ofstream(path, std::ios::binary).write(out.data(), static_cast<std::streamsize>(out.size()));
}

class MediaPlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("halvex-media-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(MediaPlaybackTest, DecoderReadsEveryWaveSampleInOrder) {
    fs::path wave = dir_ / "tone.wav";
    WriteWave(wave, 22050, 1, 300);
    for (int pass = 0; pass < 2; ++pass) {
        std::unique_ptr<MediaDecoder> decoder = MediaDecoder::Open(wave.string());
        ASSERT_TRUE(decoder);
        EXPECT_TRUE(decoder->HasAudio());
        EXPECT_FALSE(decoder->HasVideo());
        EXPECT_EQ(decoder->Audio().sampleRate, 22050);
        EXPECT_EQ(decoder->Audio().channels, 1);
        std::size_t samples = 0;
        std::int64_t lastTime = -1;
        while (std::optional<DecodedUnit> unit = decoder->Next()) {
            EXPECT_GT(unit->timeMs, lastTime);
            lastTime = unit->timeMs;
            samples += unit->samples.size();
        }
        EXPECT_EQ(samples, 22050u * 300 / 1000);
        ASSERT_TRUE(decoder->Rewind());
        std::optional<DecodedUnit> first = decoder->Next();
        ASSERT_TRUE(first);
        EXPECT_EQ(first->timeMs, 0);
    }
}

TEST_F(MediaPlaybackTest, UnreadableFilesDoNotOpen) {
    std::ofstream(dir_ / "junk.wav") << "this is not a wave file at all";
    EXPECT_FALSE(MediaDecoder::Open((dir_ / "junk.wav").string()));
    EXPECT_FALSE(MediaDecoder::Open((dir_ / "absent.wav").string()));
}

// A real wave file through the real backend to outputs that present nothing: it must open,
// play to its end, notify, and close, with or without an audio device on the machine.
TEST_F(MediaPlaybackTest, RealWavePlaysToItsEndAndNotifies) {
    fs::path wave = dir_ / "short tone.wav";
    WriteWave(wave, 44100, 2, 200);
    MciMediaService service(
        std::make_shared<FfmpegMediaBackend>(std::make_shared<NullMediaOutputs>()));

    std::mutex mutex;
    std::condition_variable done;
    std::vector<MediaWindowId> notified;
    SetMediaNotifyPoster([&](MediaWindowId window) {
        std::lock_guard lock(mutex);
        notified.push_back(window);
        done.notify_all();
    });

    const std::string name = wave.string();
    ASSERT_EQ(service.SendString("open " + name, nullptr, 0), kMciOk);
    ASSERT_EQ(service.SendString("play " + name + " from 0 notify", nullptr, 99), kMciOk);
    {
        std::unique_lock lock(mutex);
        // A guard against a hang, not a timing check: the tone lasts 0.2 s.
        ASSERT_TRUE(done.wait_for(lock, std::chrono::seconds(30), [&] { return !notified.empty(); }));
    }
    std::string position;
    EXPECT_EQ(service.SendString("status " + name + " position", &position, 0), kMciOk);
    EXPECT_EQ(position, "200");
    EXPECT_EQ(service.SendString("close " + name, nullptr, 0), kMciOk);
    SetMediaNotifyPoster(nullptr);
    EXPECT_EQ(notified, std::vector<MediaWindowId>{99});
}

TEST_F(MediaPlaybackTest, LoopingWaveStopsAtOnceAndMissingWavePlaysNothing) {
    fs::path wave = dir_ / "loop.wav";
    WriteWave(wave, 8000, 1, 50);
    MciMediaService service(
        std::make_shared<FfmpegMediaBackend>(std::make_shared<NullMediaOutputs>()));
    const unsigned loop = kSoundFilename | kSoundLoop | kSoundAsync | kSoundNoDefault | kSoundNoWait;
    EXPECT_TRUE(service.PlayWave(wave.string().c_str(), loop));
    EXPECT_FALSE(service.PlayWave((dir_ / "absent.wav").string().c_str(), loop));
    EXPECT_TRUE(service.PlayWave(wave.string().c_str(), loop));
    EXPECT_TRUE(service.PlayWave(nullptr, kSoundAsync | kSoundNoDefault | kSoundNoWait));
    EXPECT_EQ(service.SendString("open " + (dir_ / "absent.wav").string(), nullptr, 0),
              kMciCannotOpen);
}

}  // namespace
}  // namespace platform
