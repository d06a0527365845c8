#include "engine/viewer/viewer_engine.h"

#include <cstring>

#include "engine/viewer/state_lock.h"
#include "engine/viewer/view_limits.h"
#include "platform/files.h"

ViewerEngine::ViewerEngine(EngineBuild engineBuild) : build(engineBuild) {
    InitCore();
}

void ViewerEngine::InitCore() {
    lockSemaphore.reset();
}

ViewerEngine::~ViewerEngine() {
    if (IsLoaded() && window != platform::kNoWindow) {
        UnsubclassViewerWindow(window);
        platform::ClipCursor(nullptr);
    }
    UnsubclassEngineWindows(this);
    media.Stop();
    FreeSoundNames();
    Close();
}

void ViewerEngine::FreeSoundNames() {
    for (auto& name : avatarSounds)
        name.reset();
}

void ViewerEngine::OpenPanorama(const char* path, platform::WindowHandle newWindow,
                                std::uint32_t notifyMsg, std::int16_t frameRate,
                                std::int16_t avatarSlots) {
    const bool withMedia = build != EngineBuild::Editor;
    if (withMedia)
        media.Stop();
    if (IsLoaded() && window != platform::kNoWindow)
        DetachWindow();
    FreeSoundNames();
    Close();
    animating = 0;
    grabbedAvatar = -1;
    grabKeys = 0;
    OpenFile(path, newWindow, notifyMsg, frameRate, avatarSlots);
    if (withMedia && path && *path) {
        const std::string full = platform::GetFullPathName(path);
        if (!full.empty())
            platform::SetCurrentDirectory(platform::ParentDirectory(full));
        const std::string name = path;
        if (name.size() >= 4 &&
            (name.find(".pan") != std::string::npos || name.find(".PAN") != std::string::npos ||
             name.find(".Pan") != std::string::npos)) {
            const std::string sound = name.substr(0, name.size() - 4) + ".wav";
            media.Play(sound, MediaPlayer::kRestart | MediaPlayer::kLoop, window, 0);
        }
    }
    playingMedia = -1;
    FreeSoundNames();
}

void ViewerEngine::ClosePanorama(int keepMedia, int keepWindow) {
    if (keepMedia == 0 && build != EngineBuild::Editor)
        media.Stop();
    if (keepWindow == 0 && IsLoaded() && window != platform::kNoWindow)
        DetachWindow();
    FreeSoundNames();
    Close();
}

Hotspot* ViewerEngine::GetHotspot(std::int16_t index) {
    if (index < 0 || index >= hotspotCount || !hotspots)
        return nullptr;
    return &hotspots[static_cast<std::size_t>(index)];
}

Avatar* ViewerEngine::GetAvatar(std::int16_t index) {
    if (index < 0 || index >= avatarSlotCount || !avatars)
        return nullptr;
    return &avatars[static_cast<std::size_t>(index)];
}

int ViewerEngine::ProjectPoint(double x, double y, double z, int* windowX, int* windowY) const {
    if (!renderer || environments.empty())
        return 0;
    const Renderer::Orientation view{eyeX, eyeY, eyeZ, pan, tilt, roll, fov};
    const Renderer::Orientation reference{0, 0, 0, 0, 0, 0, 0};
    double heading = 0, pitch = 0;
    PointToHeadingPitch(eyeX, eyeY, eyeZ, x, y, z, &heading, &pitch);
    double px = 0, py = 0;
    if (renderer->HPtoXY(environments[static_cast<std::size_t>(currentEnvironment)], view,
                         reference, viewFrame.width, viewFrame.height, heading, pitch, px,
                         py) == 0) {
        return 0;
    }
    *windowX = static_cast<int>(px);
    *windowY = static_cast<int>(py);
    return 1;
}

void ViewerEngine::ApplyCursorRuleAt(int x, int y) {
    std::int16_t kind = kHitNothing;
    const std::uint16_t index = HitTest(x, y, &kind);
    platform::CursorHandle cursor = cursorNormal;
    if (kind == kHitAvatar) {
        cursor = cursorHotspot;
    } else if (kind == kHitHotspot) {
        cursor = cursorHotspot;
        const Hotspot* hotspot = GetHotspot(static_cast<std::int16_t>(index));
        if (hotspot && hotspot->target) {
            const std::string head = hotspot->target->substr(0, 256);
            if (head.find(".pan") != std::string::npos || head.find(".PAN") != std::string::npos ||
                head.find(".Pan") != std::string::npos) {
                cursor = cursorPanoramaLink;
            }
        }
    }
    if (cursor)
        platform::SetCursor(window, cursor);
}

void ViewerEngine::ApplyCursorRule() {
    const platform::Point at = platform::ScreenToClient(window, platform::GetCursorPos());
    ApplyCursorRuleAt(at.x, at.y);
}

void ViewerEngine::UpdateHotspotCursor() {
    ApplyCursorRule();
    Run(2, 1);
}
