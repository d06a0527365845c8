#include "platform/media/ffmpeg_media_backend.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>

#include "platform/guarded.h"
#include "platform/media/media_decoder.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// Sound is handed to the sink this far ahead of its time, so that the device never starves.
constexpr std::int64_t kAudioLeadMs = 250;
// Shown time of a last picture whose successor's time is unknown.
constexpr std::int64_t kDefaultPictureMs = 40;

class ClipPlayer final : public MediaClip {
  public:
    ClipPlayer(std::unique_ptr<MediaDecoder> decoder, std::unique_ptr<AudioSink> audio,
               std::unique_ptr<VideoSink> video)
        : decoder_(std::move(decoder)), audio_(std::move(audio)), video_(std::move(video)) {}

    ~ClipPlayer() override { StopThread(); }

    bool HasVideo() const override { return video_ != nullptr; }

    void Place(const ScreenRect& rect) override {
        if (video_)
            video_->Place(rect);
    }

    bool Play(std::int64_t fromMs, bool repeat, std::function<void()> onEnd) override {
        StopThread();
        if (played_ && !decoder_->Rewind())
            return false;
        if (audio_)
            audio_->Flush();
        played_ = true;
        *stop_.Lock() = false;
        position_ = std::max<std::int64_t>(fromMs, 0);
        thread_ = std::thread([this, fromMs, repeat, onEnd = std::move(onEnd)] {
            Run(std::max<std::int64_t>(fromMs, 0), repeat, onEnd);
        });
        return true;
    }

    std::int64_t PositionMs() const override { return position_.load(); }

  private:
    void StopThread() {
        *stop_.Lock() = true;
        wake_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

    // Waits until `due`; false when told to stop meanwhile.
    bool WaitUntil(Clock::time_point due) {
        auto stop = stop_.Lock();
        return !stop.WaitUntil(wake_, due, [](bool stopped) { return stopped; });
    }

    void Run(std::int64_t fromMs, bool repeat, const std::function<void()>& onEnd) {
        Clock::time_point base = Clock::now() - std::chrono::milliseconds(fromMs);
        std::int64_t endMs = 0;
        std::int64_t lastPictureMs = -1;
        std::int64_t pictureMs = kDefaultPictureMs;
        for (;;) {
            std::optional<DecodedUnit> unit = decoder_->Next();
            if (!unit) {
                if (!WaitUntil(base + std::chrono::milliseconds(endMs)))
                    return;
                position_ = endMs;
                if (!repeat || endMs <= 0 || !decoder_->Rewind())
                    break;
                base += std::chrono::milliseconds(endMs);
                endMs = 0;
                lastPictureMs = -1;
                fromMs = 0;
                continue;
            }
            if (unit->kind == DecodedUnit::Kind::kAudio) {
                endMs = std::max(endMs, unit->endMs);
                if (unit->timeMs < fromMs || !audio_)
                    continue;
                if (!WaitUntil(base + std::chrono::milliseconds(unit->timeMs - kAudioLeadMs)))
                    return;
                audio_->Write(unit->samples);
            } else {
                if (lastPictureMs >= 0 && unit->timeMs > lastPictureMs) {
                    pictureMs = unit->timeMs - lastPictureMs;
                }
                lastPictureMs = unit->timeMs;
                endMs = std::max(endMs, unit->timeMs + pictureMs);
                if (unit->timeMs < fromMs || !video_)
                    continue;
                if (!WaitUntil(base + std::chrono::milliseconds(unit->timeMs)))
                    return;
                video_->Show(unit->width, unit->height, unit->bgra);
            }
            auto elapsed =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - base);
            position_ = std::clamp<std::int64_t>(elapsed.count(), 0, endMs);
        }
        if (onEnd)
            onEnd();
    }

    std::unique_ptr<MediaDecoder> decoder_;
    std::unique_ptr<AudioSink> audio_;
    std::unique_ptr<VideoSink> video_;
    std::thread thread_;
    Guarded<bool> stop_;  // tells the playback thread to end
    std::condition_variable wake_;
    bool played_ = false;
    std::atomic<std::int64_t> position_{0};
};

class NullAudioSink final : public AudioSink {
  public:
    void Write(std::span<const std::int16_t>) override {}
    void Flush() override {}
};

class NullVideoSink final : public VideoSink {
  public:
    void Place(const ScreenRect&) override {}
    void Show(int, int, std::span<const std::uint8_t>) override {}
};

}  // namespace

FfmpegMediaBackend::FfmpegMediaBackend(std::shared_ptr<MediaOutputs> outputs)
    : outputs_(std::move(outputs)) {}

std::unique_ptr<MediaClip> FfmpegMediaBackend::OpenClip(const std::string& path,
                                                        VideoPlacement placement) {
    std::unique_ptr<MediaDecoder> decoder = MediaDecoder::Open(path);
    if (!decoder)
        return nullptr;
    std::unique_ptr<AudioSink> audio;
    std::unique_ptr<VideoSink> video;
    if (decoder->HasAudio())
        audio = outputs_->MakeAudioSink(decoder->Audio());
    if (decoder->HasVideo()) {
        video = outputs_->MakeVideoSink(decoder->VideoWidth(), decoder->VideoHeight(),
                                        placement == VideoPlacement::kFullScreen);
    }
    if (!audio && !video)
        return nullptr;
    return std::make_unique<ClipPlayer>(std::move(decoder), std::move(audio), std::move(video));
}

std::unique_ptr<AudioSink> NullMediaOutputs::MakeAudioSink(const AudioFormat&) {
    return std::make_unique<NullAudioSink>();
}

std::unique_ptr<VideoSink> NullMediaOutputs::MakeVideoSink(int, int, bool) {
    return std::make_unique<NullVideoSink>();
}

}  // namespace platform
