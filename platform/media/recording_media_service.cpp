#include "platform/media/recording_media_service.h"

#include <cstdio>

namespace platform {

void RecordingMediaService::FailCommandsStartingWith(std::string prefix, int code) {
    state_.Lock()->failures.emplace_back(std::move(prefix), code);
}

std::vector<std::string> RecordingMediaService::Log() const {
    return state_.Lock()->log;
}

void RecordingMediaService::ClearLog() {
    state_.Lock()->log.clear();
}

int RecordingMediaService::SendString(std::string_view command, std::string* reply, MediaWindowId) {
    const auto state = state_.Lock();
    state->log.emplace_back(command);
    for (const auto& [prefix, code] : state->failures) {
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
    state_.Lock()->log.push_back("PlaySound(" + std::string(name != nullptr ? name : "null") +
                                 ", " + hex + ")");
    return true;
}

}  // namespace platform
