#pragma once
// Decodes a media file (WAV sound, AVI video with its sound track; any container and codec
// FFmpeg's libraries know, Cinepak and Video 1 among them) into 16-bit interleaved samples and
// 32-bit blue-green-red pictures, in presentation order per stream.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/media/media_backend.h"

namespace platform {

struct DecodedUnit {
    enum class Kind { kAudio, kVideo } kind = Kind::kAudio;
    std::int64_t timeMs = 0;            // when the unit is due, from the start of the media
    std::int64_t endMs = 0;             // audio: when its last sample has been heard
    std::vector<std::int16_t> samples;  // audio: interleaved
    int width = 0;                      // video
    int height = 0;
    std::vector<std::uint8_t> bgra;  // video: width x height x 4 bytes, rows top-down
};

// One open file. One thread at a time; the object owns every FFmpeg context it made.
class MediaDecoder {
  public:
    // Null when the file cannot be opened or has neither a decodable audio nor video stream.
    static std::unique_ptr<MediaDecoder> Open(const std::string& path);
    ~MediaDecoder();
    MediaDecoder(const MediaDecoder&) = delete;
    MediaDecoder& operator=(const MediaDecoder&) = delete;

    bool HasAudio() const;
    bool HasVideo() const;
    AudioFormat Audio() const;  // output format; zero when there is no audio
    int VideoWidth() const;
    int VideoHeight() const;

    // The next decoded unit in time order of reading; nullopt at the end or after a fatal
    // decoding error (what was decoded before stands).
    std::optional<DecodedUnit> Next();
    // Goes back to the start of the media. False when the file cannot seek; the decoder then
    // reports the end.
    bool Rewind();

    struct State;

  private:
    explicit MediaDecoder(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace platform
