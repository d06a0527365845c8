#include "platform/qt_media/qt_media_outputs.h"

#include "platform/media/ffmpeg_media_backend.h"
#include "platform/media/mci_interpreter.h"
#include "platform/media/media_service.h"
#include "platform/qt_media/qt_audio_sink.h"
#include "platform/qt_media/qt_video_popup.h"

namespace platform {

std::unique_ptr<AudioSink> QtMediaOutputs::MakeAudioSink(const AudioFormat& format) {
    return QtAudioSink::Create(format);
}

std::unique_ptr<VideoSink> QtMediaOutputs::MakeVideoSink(int videoWidth, int videoHeight,
                                                         bool fullScreen) {
    return std::make_unique<QtVideoSink>(videoWidth, videoHeight, fullScreen);
}

ScopedQtMedia::ScopedQtMedia() {
    InstallMediaService(std::make_shared<MciMediaService>(
        std::make_shared<FfmpegMediaBackend>(std::make_shared<QtMediaOutputs>())));
}

ScopedQtMedia::~ScopedQtMedia() {
    InstallMediaService(std::make_shared<MciMediaService>(
        std::make_shared<FfmpegMediaBackend>(std::make_shared<NullMediaOutputs>())));
}

}  // namespace platform
