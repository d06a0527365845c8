#include "engine/viewer/media_player.h"

namespace {

constexpr unsigned kStopWaveFlags =
    platform::kSoundAsync | platform::kSoundNoDefault | platform::kSoundNoWait;
constexpr unsigned kLoopWaveFlags = platform::kSoundFilename | platform::kSoundLoop |
                                    platform::kSoundAsync | platform::kSoundNoDefault |
                                    platform::kSoundNoWait;

}  // namespace

std::string MediaDeviceNameFor(const std::string& path) { return path; }

MediaPlayer::~MediaPlayer() { Stop(); }

int MediaPlayer::SendCommand(const std::string& command, std::string* reply,
                             platform::MediaWindowId notifyWindow) {
    std::string text;
    int code = platform::CurrentMediaService()->SendString(command, &text, notifyWindow);
    // A failure's text is of no use to anyone here: the code alone is reported.
    if (code == platform::kMciOk && reply != nullptr) *reply = text;
    return code;
}

void MediaPlayer::Close() {
    SendCommand("close " + deviceName_, nullptr, 0);
    deviceName_.clear();
}

void MediaPlayer::Stop() {
    if (IsDeviceOpen()) Close();
    StopWaveSound();
}

void MediaPlayer::StopWaveSound() { platform::PlaySound(nullptr, nullptr, kStopWaveFlags); }

void MediaPlayer::LoopWaveSound(const std::string& path) {
    platform::PlaySound(path.c_str(), nullptr, kLoopWaveFlags);
}

int MediaPlayer::Play(const std::string& path, int mode, platform::MediaWindowId notifyWindow,
                      int startPosition) {
    bool notify = (mode & kMediaNotify) != 0;
    if ((mode & kMediaLoop) != 0) {
        if (IsDeviceOpen()) Close();
        StopWaveSound();
        StopWaveSound();
        LoopWaveSound(path);
        return kMediaStarted;
    }
    if ((mode & kMediaRestart) != 0) {
        if (IsDeviceOpen()) Close();
        StopWaveSound();
    } else if ((mode & kMediaResume) != 0) {
        if (IsDeviceOpen()) {
            notify = true;
            resumeName_ = deviceName_;
            positionReply_.clear();
            SendCommand("status " + deviceName_ + " position", &positionReply_, 0);
            Close();
        }
    } else if (IsDeviceOpen()) {
        return kMediaBusy;
    }

    std::string name = MediaDeviceNameFor(path);
    if (SendCommand("open " + name, nullptr, 0) != platform::kMciOk) return kMediaFailed;
    deviceName_ = name;
    std::string play = "play " + name + " from " + std::to_string(startPosition);
    if (notify) play += " notify";
    if (SendCommand(play, nullptr, notifyWindow) != platform::kMciOk) {
        Close();
        return kMediaFailed;
    }
    return kMediaStarted;
}
