#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "avi_writer.h"
#include "platform/headless/headless_backend.h"
#include "platform/media/ffmpeg_media_backend.h"
#include "platform/media/mci_interpreter.h"
#include "platform/media/media_decoder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

void PutLe(std::vector<char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
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
        for (int c = 0; c < channels; ++c)
            PutLe(out, static_cast<std::uint16_t>(sample), 2);
    }
    std::ofstream(path, std::ios::binary)
        .write(out.data(), static_cast<std::streamsize>(out.size()));
}

class MediaPlaybackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("halvex-media-" + std::to_string(::getpid()) +
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

    HeadlessBackend backend;
    const WindowHandle window = backend.CreateWindow({100, 100});

    const std::string name = wave.string();
    ASSERT_EQ(service.SendString("open " + name, nullptr, 0), kMciOk);
    ASSERT_EQ(service.SendString("play " + name + " from 0 notify", nullptr, window), kMciOk);
    // A guard against a hang, not a timing check: the tone lasts 0.2 s.
    ASSERT_TRUE(backend.WaitForMessage(30000));
    backend.Pump();
    std::string position;
    EXPECT_EQ(service.SendString("status " + name + " position", &position, 0), kMciOk);
    EXPECT_EQ(position, "200");
    EXPECT_EQ(service.SendString("close " + name, nullptr, 0), kMciOk);
    std::vector<Message> messages = backend.Log(window);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].id, MM_MCINOTIFY);
}

TEST_F(MediaPlaybackTest, LoopingWaveStopsAtOnceAndMissingWavePlaysNothing) {
    fs::path wave = dir_ / "loop.wav";
    WriteWave(wave, 8000, 1, 50);
    MciMediaService service(
        std::make_shared<FfmpegMediaBackend>(std::make_shared<NullMediaOutputs>()));
    const unsigned loop =
        kSoundFilename | kSoundLoop | kSoundAsync | kSoundNoDefault | kSoundNoWait;
    EXPECT_TRUE(service.PlayWave(wave.string().c_str(), loop));
    EXPECT_FALSE(service.PlayWave((dir_ / "absent.wav").string().c_str(), loop));
    EXPECT_TRUE(service.PlayWave(wave.string().c_str(), loop));
    EXPECT_TRUE(service.PlayWave(nullptr, kSoundAsync | kSoundNoDefault | kSoundNoWait));
    EXPECT_EQ(service.SendString("open " + (dir_ / "absent.wav").string(), nullptr, 0),
              kMciCannotOpen);
}

TEST_F(MediaPlaybackTest, DecoderReadsCinepakAndVideo1Pictures) {
    for (const char* codec : {"cinepak", "msvideo1"}) {
        fs::path avi = dir_ / (std::string(codec) + ".avi");
        testing::AviSpec spec;
        spec.codec = codec;
        ASSERT_TRUE(testing::WriteAvi(avi.string(), spec)) << codec;
        std::unique_ptr<MediaDecoder> decoder = MediaDecoder::Open(avi.string());
        ASSERT_TRUE(decoder) << codec;
        EXPECT_TRUE(decoder->HasVideo()) << codec;
        EXPECT_FALSE(decoder->HasAudio()) << codec;
        EXPECT_EQ(decoder->VideoWidth(), spec.width) << codec;
        EXPECT_EQ(decoder->VideoHeight(), spec.height) << codec;
        int pictures = 0;
        while (std::optional<DecodedUnit> unit = decoder->Next()) {
            ASSERT_EQ(unit->kind, DecodedUnit::Kind::kVideo);
            EXPECT_EQ(unit->timeMs, pictures * 100) << codec;
            const std::uint8_t* middle =
                unit->bgra.data() +
                (static_cast<std::size_t>(unit->height / 2) * unit->width + unit->width / 2) * 4;
            EXPECT_NEAR(middle[0], spec.blue, 24) << codec;
            EXPECT_NEAR(middle[1], spec.green, 24) << codec;
            EXPECT_NEAR(middle[2], spec.red, 24) << codec;
            ++pictures;
        }
        EXPECT_EQ(pictures, spec.frames) << codec;
    }
}

// Outputs that remember what reached them.
struct SeenOutputs final : MediaOutputs {
    struct State {
        std::mutex mutex;
        int audioSinks = 0;
        int pictures = 0;
        std::vector<std::string> placements;
        bool fullScreen = false;
    };
    std::shared_ptr<State> state = std::make_shared<State>();

    struct Audio final : AudioSink {
        void Write(std::span<const std::int16_t>) override {}
        void Flush() override {}
    };
    struct Video final : VideoSink {
        explicit Video(std::shared_ptr<State> s) : state(std::move(s)) {}
        void Place(const ScreenRect& r) override {
            std::lock_guard lock(state->mutex);
            state->placements.push_back(std::to_string(r.x) + " " + std::to_string(r.y) + " " +
                                        std::to_string(r.width) + " " + std::to_string(r.height));
        }
        void Show(int, int, std::span<const std::uint8_t>) override {
            std::lock_guard lock(state->mutex);
            ++state->pictures;
        }
        std::shared_ptr<State> state;
    };
    std::unique_ptr<AudioSink> MakeAudioSink(const AudioFormat&) override {
        std::lock_guard lock(state->mutex);
        ++state->audioSinks;
        return std::make_unique<Audio>();
    }
    std::unique_ptr<VideoSink> MakeVideoSink(int, int, bool fullScreen) override {
        std::lock_guard lock(state->mutex);
        state->fullScreen = fullScreen;
        return std::make_unique<Video>(state);
    }
};

TEST_F(MediaPlaybackTest, VideoWithSoundPlaysInItsPopupAndNotifies) {
    fs::path avi = dir_ / "intro film.avi";
    testing::AviSpec spec;
    spec.codec = "cinepak";
    spec.frames = 4;
    spec.withSound = true;
    ASSERT_TRUE(testing::WriteAvi(avi.string(), spec));
    auto outputs = std::make_shared<SeenOutputs>();
    MciMediaService service(std::make_shared<FfmpegMediaBackend>(outputs));

    HeadlessBackend backend;
    const WindowHandle window = backend.CreateWindow({100, 100});
    const std::string name = avi.string();
    ASSERT_EQ(
        service.SendString("open " + name + " parent " + std::to_string(window) + " style popup",
                           nullptr, 0),
        kMciOk);
    ASSERT_EQ(service.SendString("put " + name + " window at 10 20 64 48", nullptr, 0), kMciOk);
    ASSERT_EQ(service.SendString("play " + name + " notify", nullptr, window), kMciOk);
    ASSERT_TRUE(backend.WaitForMessage(30000));
    backend.Pump();
    EXPECT_EQ(service.SendString("close " + name, nullptr, 0), kMciOk);
    ASSERT_EQ(backend.Log(window).size(), 1u);
    EXPECT_EQ(backend.Log(window)[0].id, MM_MCINOTIFY);

    std::lock_guard lock(outputs->state->mutex);
    EXPECT_EQ(outputs->state->audioSinks, 1);
    EXPECT_EQ(outputs->state->pictures, spec.frames);
    EXPECT_EQ(outputs->state->placements, std::vector<std::string>{"10 20 64 48"});
    EXPECT_FALSE(outputs->state->fullScreen);
}

}  // namespace
}  // namespace platform
