#include "engine/viewer/media_player.h"

#include <algorithm>

namespace {

constexpr unsigned kStopWaveFlags =
    platform::kSoundAsync | platform::kSoundNoDefault | platform::kSoundNoWait;
constexpr unsigned kLoopWaveFlags = platform::kSoundFilename | platform::kSoundLoop |
                                    platform::kSoundAsync | platform::kSoundNoDefault |
                                    platform::kSoundNoWait;
constexpr int kPositionReplyLength = 32;

}  // namespace

std::string MediaDeviceNameFor(const std::string& path) {
    return path;
}

MediaPlayer::~MediaPlayer() {
    Stop();
}

int MediaPlayer::SendCommand(const std::string& command, std::string* reply, int replyLength,
                             platform::MediaWindowId notifyWindow) {
    std::string text;
    int code = platform::CurrentMediaService()->SendString(command, &text, notifyWindow);
    // A failure's text is of no use to anyone here: the code alone is reported.
    if (code == platform::kMciOk && reply != nullptr) {
        *reply = text.substr(0, static_cast<std::size_t>(std::max(replyLength, 0)));
    }
    return code;
}

void MediaPlayer::Close() {
    SendCommand("close " + deviceName, nullptr, 0, 0);
    deviceName.clear();
}

void MediaPlayer::Stop() {
    if (IsDeviceOpen())
        Close();
    StopWaveSound();
}

bool MediaPlayer::PlayVideoOver(const std::string& path, platform::WindowHandle parent,
                                const platform::Rect& area) {
    Stop();
    platform::Point at{0, 0};
    if (parent != platform::kNoWindow)
        at = platform::ClientToScreen(parent, {area.left, area.top});
    const std::string name = MediaDeviceNameFor(path);
    if (SendCommand("open " + name + " parent " + std::to_string(parent) + " style popup",
                    nullptr, 0, 0) != platform::kMciOk) {
        return false;
    }
    deviceName = name;
    const std::string place = "put " + name + " window at " + std::to_string(at.x) + " " +
                              std::to_string(at.y) + " " + std::to_string(area.Width()) + " " +
                              std::to_string(area.Height());
    if (SendCommand(place, nullptr, 0, 0) != platform::kMciOk ||
        SendCommand("play " + name + " notify", nullptr, 0, parent) != platform::kMciOk) {
        Close();
        return false;
    }
    return true;
}

void MediaPlayer::StopWaveSound() {
    platform::PlaySound(nullptr, nullptr, kStopWaveFlags);
}

void MediaPlayer::LoopWaveSound(const std::string& path) {
    platform::PlaySound(path.c_str(), nullptr, kLoopWaveFlags);
}

int MediaPlayer::Play(const std::string& path, int mode, platform::MediaWindowId notifyWindow,
                      int startPosition) {
    bool notify = (mode & kNotify) != 0;
    if ((mode & kLoop) != 0) {
        if (IsDeviceOpen())
            Close();
        StopWaveSound();
        StopWaveSound();
        LoopWaveSound(path);
        return kStarted;
    }
    if ((mode & kRestart) != 0) {
        if (IsDeviceOpen())
            Close();
        StopWaveSound();
    } else if ((mode & kResume) != 0) {
        if (IsDeviceOpen()) {
            notify = true;
            resumeName = deviceName;
            positionReply.clear();
            SendCommand("status " + deviceName + " position", &positionReply, kPositionReplyLength,
                        0);
            Close();
        }
    } else if (IsDeviceOpen()) {
        return kBusy;
    }

    std::string name = MediaDeviceNameFor(path);
    if (SendCommand("open " + name, nullptr, 0, 0) != platform::kMciOk)
        return kFailed;
    deviceName = name;
    std::string play = "play " + name + " from " + std::to_string(startPosition);
    if (notify)
        play += " notify";
    if (SendCommand(play, nullptr, 0, notifyWindow) != platform::kMciOk) {
        Close();
        return kFailed;
    }
    return kStarted;
}
