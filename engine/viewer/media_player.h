#pragma once
// The engine's player of hotspot sounds and videos and of a panorama's companion sound.
// This form plays nothing: it keeps the interface the engine calls, so that the engine's
// stops and its companion sound have a place to go. User-interface thread.

#include <cstdint>
#include <string>

#include "platform/geometry.h"
#include "platform/window.h"

class MediaPlayer {
public:
    // Mode bits of Play.
    static constexpr int kRestart = 1;
    static constexpr int kResume = 2;
    static constexpr int kLoop = 4;
    static constexpr int kNotify = 8;

    // Sends a media command; the error code (0 = success).
    int SendCommand(const std::string& command, std::string* reply, int replyLength,
                    platform::WindowHandle notifyWindow);
    // Closes the open device (if any) and clears its name.
    void Close();
    // Closes the open device and stops wave sound.
    void Stop();
    // 0 started, 1 refused (a device is open), 2 a command failed.
    int Play(const std::string& path, int mode, platform::WindowHandle notifyWindow,
             int startPosition);

    std::string deviceName;
    platform::Rect savedRect;
    std::string positionReply;
    std::string resumeName;
};
