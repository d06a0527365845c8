#pragma once
// MediaPlayer: the sounds and videos of hotspot actions and a panorama's companion sound. It
// drives the process's media service through command strings, with at most one device open at
// a time whose name (the file's path) is also its alias, and loops wave sound by file name.
// User-interface thread only; the object owns nothing but its texts, and destroying it stops
// the media.

#include <string>

#include "platform/media_service.h"

// Modes of MediaPlayer::Play, combinable.
inline constexpr int kMediaRestart = 1;  // close any open device and play from the start
inline constexpr int kMediaResume = 2;   // reopen the open device, with a completion notice
inline constexpr int kMediaLoop = 4;     // loop the file as wave sound; nothing else
inline constexpr int kMediaNotify = 8;   // ask for a completion notice

// Results of MediaPlayer::Play.
inline constexpr int kMediaStarted = 0;
inline constexpr int kMediaBusy = 1;    // a device is open and no mode bit allows replacing it
inline constexpr int kMediaFailed = 2;  // a media command failed; no device is left open

// The device name of a media file: the path as it stands (paths here have no short form).
std::string MediaDeviceNameFor(const std::string& path);

class MediaPlayer {
public:
    MediaPlayer() = default;
    ~MediaPlayer();
    MediaPlayer(const MediaPlayer&) = delete;
    MediaPlayer& operator=(const MediaPlayer&) = delete;

    // Sends `command`; its status reply goes to `reply` when that is not null. Returns the
    // media error code (0 success); the error's text is fetched and dropped.
    int SendCommand(const std::string& command, std::string* reply,
                    platform::MediaWindowId notifyWindow);
    // Sends "close NAME" with whatever the device name holds and clears it.
    void Close();
    // Closes the open device, if any, then stops wave sound.
    void Stop();
    // Stops wave sound only.
    static void StopWaveSound();
    // Loops `path` as wave sound; a missing file plays nothing and reports nothing.
    static void LoopWaveSound(const std::string& path);

    // Plays `path` in `mode` from `startPosition`; see the kMedia* constants. On failure no
    // device is left open.
    int Play(const std::string& path, int mode, platform::MediaWindowId notifyWindow,
             int startPosition);

    bool IsDeviceOpen() const { return !deviceName_.empty(); }
    const std::string& DeviceName() const { return deviceName_; }
    // Records a device that the caller opened itself (a hotspot video).
    void SetDeviceName(const std::string& name) { deviceName_ = name; }
    void ClearDeviceName() { deviceName_.clear(); }

    const std::string& ResumeName() const { return resumeName_; }
    const std::string& PositionReply() const { return positionReply_; }

private:
    std::string deviceName_;
    std::string positionReply_;
    std::string resumeName_;
};
