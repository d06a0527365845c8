#pragma once
// The real media backend: files decoded by FFmpeg's libraries, played on a thread of their own
// per clip, paced to the steady clock, into the sinks that the given outputs make.

#include <memory>
#include <string>

#include "platform/media/media_backend.h"

namespace platform {

class FfmpegMediaBackend final : public MediaBackend {
  public:
    explicit FfmpegMediaBackend(std::shared_ptr<MediaOutputs> outputs);
    // A clip with sound but no audio sink plays its pictures only; a clip with nothing that
    // can be output gives null.
    std::unique_ptr<MediaClip> OpenClip(const std::string& path, VideoPlacement placement) override;

  private:
    std::shared_ptr<MediaOutputs> outputs_;
};

// Outputs that accept everything and present nothing: batch runs and tests.
class NullMediaOutputs final : public MediaOutputs {
  public:
    std::unique_ptr<AudioSink> MakeAudioSink(const AudioFormat& format) override;
    std::unique_ptr<VideoSink> MakeVideoSink(int videoWidth, int videoHeight,
                                             bool fullScreen) override;
};

}  // namespace platform
