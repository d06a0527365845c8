#include "platform/media/recording_media_service.h"

#include <cstdio>

namespace platform {

void RecordingMediaService::FailCommandsStartingWith(std::string prefix, int code) {
    std::lock_guard lock(mutex_);
    failures_.emplace_back(std::move(prefix), code);
}

std::vector<std::string> RecordingMediaService::Log() const {
    std::lock_guard lock(mutex_);
    return log_;
}

void RecordingMediaService::ClearLog() {
    std::lock_guard lock(mutex_);
    log_.clear();
}

int RecordingMediaService::SendString(std::string_view command, std::string* reply, MediaWindowId) {
    std::lock_guard lock(mutex_);
    log_.emplace_back(command);
    for (const auto& [prefix, code] : failures_) {
        if (command.substr(0, prefix.size()) == prefix)
            return code;
    }
    if (reply != nullptr)
        *reply = "0";
    return kMciOk;
}

bool RecordingMediaService::PlayWave(const char* name, unsigned flags) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", flags);
    std::lock_guard lock(mutex_);
    log_.push_back("PlaySound(" + std::string(name != nullptr ? name : "null") + ", " + hex + ")");
    return true;
}

}  // namespace platform
