#include "engine/viewer/media_player.h"

int MediaPlayer::SendCommand(const std::string&, std::string* reply, int,
                             platform::WindowHandle) {
    if (reply) reply->clear();
    return 0;
}

void MediaPlayer::Close() { deviceName.clear(); }

void MediaPlayer::Stop() { deviceName.clear(); }

int MediaPlayer::Play(const std::string&, int, platform::WindowHandle, int) { return 0; }
