#include "platform/media/media_service.h"

#include <algorithm>
#include <cstring>

#include "platform/guarded.h"
#include "platform/media/ffmpeg_media_backend.h"
#include "platform/media/mci_interpreter.h"
#include "platform/messages.h"
#include "platform/window.h"

namespace platform {

namespace {

Guarded<std::shared_ptr<MediaService>>& ServiceSlot() {
    static Guarded<std::shared_ptr<MediaService>> service;
    return service;
}

}  // namespace

std::shared_ptr<MediaService> InstallMediaService(std::shared_ptr<MediaService> service) {
    std::swap(*ServiceSlot().Lock(), service);
    return service;
}

std::shared_ptr<MediaService> CurrentMediaService() {
    const auto service = ServiceSlot().Lock();
    if (!*service) {
        *service = std::make_shared<MciMediaService>(
            std::make_shared<FfmpegMediaBackend>(std::make_shared<NullMediaOutputs>()));
    }
    return *service;
}

int SendMciString(std::string_view command, char* reply, std::size_t replyLength,
                  MediaWindowId notifyWindow) {
    std::string text;
    int code = CurrentMediaService()->SendString(command, &text, notifyWindow);
    if (reply != nullptr && replyLength > 0) {
        std::size_t n = std::min(text.size(), replyLength - 1);
        std::memcpy(reply, text.data(), n);
        reply[n] = '\0';
    }
    return code;
}

bool PlaySound(const char* name, const void*, unsigned flags) {
    return CurrentMediaService()->PlayWave(name, flags);
}

void PostMediaNotify(MediaWindowId window) {
    PostMessage(window, MM_MCINOTIFY, kMediaNotifySuccessful, 0);
}

}  // namespace platform
