#pragma once
// The programs' media outputs: sound through Qt Multimedia's default audio device, pictures in a
// frameless popup window over the view (or over the whole screen). Make sinks, and destroy them,
// on the GUI thread; the playback thread only writes into them.

#include <memory>

#include "platform/media/media_backend.h"

namespace platform {

class QtMediaOutputs final : public MediaOutputs {
  public:
    // Null when there is no audio device or it cannot take the format.
    std::unique_ptr<AudioSink> MakeAudioSink(const AudioFormat& format) override;
    std::unique_ptr<VideoSink> MakeVideoSink(int videoWidth, int videoHeight,
                                             bool fullScreen) override;
};

// Makes the process's media service decode with FFmpeg and present through Qt for its own
// lifetime, and puts back a service without outputs when it ends, so that no sound device or
// video window outlives the application. Make it on the GUI thread after the QApplication and
// before anything plays.
class ScopedQtMedia {
  public:
    ScopedQtMedia();
    ~ScopedQtMedia();
    ScopedQtMedia(const ScopedQtMedia&) = delete;
    ScopedQtMedia& operator=(const ScopedQtMedia&) = delete;
};

}  // namespace platform
