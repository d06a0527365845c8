#pragma once
// MediaPlayer: the sounds and videos of hotspot actions and a panorama's companion sound. It
// drives the process's media service through command strings, with at most one device open at
// a time whose name (the file's path) is also its alias, and loops wave sound by file name.
// User-interface thread only; the object owns nothing but its texts, and destroying it stops
// the media.

#include <string>

#include "platform/geometry.h"
#include "platform/media/media_service.h"
#include "platform/window.h"

// The device name of a media file: the path as it stands (paths here have no short form).
std::string MediaDeviceNameFor(const std::string& path);

class MediaPlayer {
  public:
    // Mode bits of Play.
    static constexpr int kRestart = 1;  // close any open device, then play from the start
    static constexpr int kResume = 2;   // reopen the open device, with a completion notice
    static constexpr int kLoop = 4;     // loop the file as wave sound; nothing else
    static constexpr int kNotify = 8;   // ask for a completion notice
    // Results of Play.
    static constexpr int kStarted = 0;
    static constexpr int kBusy = 1;    // a device is open and no mode bit allows replacing it
    static constexpr int kFailed = 2;  // a media command failed; no device is left open

    MediaPlayer() = default;
    ~MediaPlayer();
    MediaPlayer(const MediaPlayer&) = delete;
    MediaPlayer& operator=(const MediaPlayer&) = delete;

    // Sends `command`; on success its status reply (at most `replyLength` characters) goes to
    // `reply` when that is not null. Returns the media error code (0 success); a failure's
    // text is dropped.
    int SendCommand(const std::string& command, std::string* reply, int replyLength,
                    platform::MediaWindowId notifyWindow);
    // Sends "close NAME" with whatever `deviceName` holds and clears it.
    void Close();
    // Closes the open device, if any, then stops wave sound.
    void Stop();
    // Stops wave sound only.
    static void StopWaveSound();
    // Loops `path` as wave sound; a missing file plays nothing and reports nothing.
    static void LoopWaveSound(const std::string& path);

    // Plays `path` in `mode` from `startPosition` (see the constants above).
    int Play(const std::string& path, int mode, platform::MediaWindowId notifyWindow,
             int startPosition);

    // Closes the open device, then opens `path` as a video in a popup window of `parent`
    // (kNoWindow: the desktop) over `area` of the parent's client area (of the screen without
    // a parent), and plays it with a completion notice to `parent`. True when it plays, its
    // device recorded in `deviceName`; otherwise no device is left open.
    bool PlayVideoOver(const std::string& path, platform::WindowHandle parent,
                       const platform::Rect& area);

    bool IsDeviceOpen() const { return !deviceName.empty(); }

    // The open device (its file's path); empty when none is open. A hotspot video opens its
    // device itself and records it here.
    std::string deviceName;
    // Reply of the last "status NAME position" (a resume).
    std::string positionReply;
    // The device a resume started from.
    std::string resumeName;
};
