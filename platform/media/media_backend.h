#pragma once
// The seams of the media stand-in: a backend opens a media file as a clip; a clip plays its
// sound into an AudioSink and its pictures into a VideoSink. The FFmpeg backend decodes; the
// outputs (null, or Qt in platform/qt/) present. Everything here is Qt-free.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace platform {

struct AudioFormat {
    int sampleRate = 0;
    int channels = 0;  // 1 or 2; samples are signed 16-bit, interleaved
};

// Receives decoded sound. Created on the thread that opens the clip; Write is called from the
// clip's playback thread, paced to real time with a small lead. The sink is destroyed on the
// opening thread after the playback thread has ended.
class AudioSink {
  public:
    virtual ~AudioSink() = default;
    virtual void Write(std::span<const std::int16_t> samples) = 0;
    // Drops what was written but not yet heard (a rewind, a loop restart).
    virtual void Flush() = 0;
};

// Top-left corner and size in screen pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Receives decoded pictures (32-bit pixels, bytes blue, green, red, 255, rows top-down).
// Place is called on the opening thread; Show from the playback thread.
class VideoSink {
  public:
    virtual ~VideoSink() = default;
    virtual void Place(const ScreenRect& rect) = 0;
    virtual void Show(int width, int height, std::span<const std::uint8_t> bgra) = 0;
};

// Makes the sinks of one clip. Any thread; returns null when the output cannot be had (no
// audio device): the clip then plays without it, or fails to open when it has nothing else.
class MediaOutputs {
  public:
    virtual ~MediaOutputs() = default;
    virtual std::unique_ptr<AudioSink> MakeAudioSink(const AudioFormat& format) = 0;
    virtual std::unique_ptr<VideoSink> MakeVideoSink(int videoWidth, int videoHeight,
                                                     bool fullScreen) = 0;
};

// One opened media file. Owned by whoever opened it; destroying it stops playback and waits for
// the playback thread. Not thread-safe: one thread drives it.
class MediaClip {
  public:
    virtual ~MediaClip() = default;
    virtual bool HasVideo() const = 0;
    // Moves the clip's picture (a clip without pictures accepts and ignores it).
    virtual void Place(const ScreenRect& rect) = 0;
    // Starts (or restarts) playback at `fromMs`. `repeat` loops without end; otherwise `onEnd`
    // (when set) is called once, on the playback thread, after the last sample was due. A clip
    // stopped or destroyed before its end never calls it. False when playback cannot start.
    virtual bool Play(std::int64_t fromMs, bool repeat, std::function<void()> onEnd) = 0;
    // Milliseconds from the start of the media to what is being presented now.
    virtual std::int64_t PositionMs() const = 0;
};

// How a clip shows its pictures: in a popup placed later (`Place`), or over the whole screen.
enum class VideoPlacement { kPopup, kFullScreen };

// Opens media files. Any thread; implementations are thread-safe.
class MediaBackend {
  public:
    virtual ~MediaBackend() = default;
    // Null when the file cannot be read, holds nothing playable, or nothing of it can be output.
    virtual std::unique_ptr<MediaClip> OpenClip(const std::string& path,
                                                VideoPlacement placement) = 0;
};

}  // namespace platform
