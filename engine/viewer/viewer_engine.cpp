#include "engine/viewer/viewer_engine.h"

#include <cstring>
#include <optional>
#include <string>

#include "engine/viewer/action_text.h"
#include "engine/viewer/box_projection.h"
#include "engine/viewer/view_limits.h"
#include "platform/files.h"

ViewerEngine::ViewerEngine(EngineBuild engineBuild) : build(engineBuild) {
    avatarHandles.reserve(kMaxAvatarSlots);
    for (std::int16_t slot = 0; slot < kMaxAvatarSlots; ++slot)
        avatarHandles.emplace_back(*this, slot);
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
        if (name.size() >= 4 && NamesPanorama(name)) {
            media.Play(ReplaceTail(name, 4, ".wav"), MediaPlayer::kRestart | MediaPlayer::kLoop,
                       window, 0);
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

void ViewerEngine::SetCursors(platform::CursorHandle normal, platform::CursorHandle hotspot,
                              platform::CursorHandle panoramaLink) {
    cursorNormal = normal;
    cursorHotspot = hotspot;
    cursorPanoramaLink = panoramaLink;
}

void ViewerEngine::SetDrawCallback(DrawCallback callback) {
    LockState()->drawCallback = callback;
}

Hotspot* ViewerEngine::GetHotspot(std::int16_t index) {
    const ViewStateGuard state = LockState();
    if (index < 0 || index >= state->hotspotCount || !state->hotspots)
        return nullptr;
    return &hotspotHandles[static_cast<std::size_t>(index)];
}

Avatar* ViewerEngine::GetAvatar(std::int16_t index) {
    const ViewStateGuard state = LockState();
    if (index < 0 || index >= state->avatarSlotCount || !state->avatars)
        return nullptr;
    return &avatarHandles[static_cast<std::size_t>(index)];
}

int ViewerEngine::ProjectPoint(double x, double y, double z, int* windowX, int* windowY) const {
    return ProjectViewPoint(*LockState(), x, y, z, windowX, windowY) ? 1 : 0;
}

void ViewerEngine::ApplyCursorRuleAt(int x, int y) {
    std::int16_t kind = kHitNothing;
    const std::uint16_t index = HitTest(x, y, &kind);
    platform::CursorHandle cursor = cursorNormal;
    if (kind == kHitAvatar) {
        cursor = cursorHotspot;
    } else if (kind == kHitHotspot) {
        cursor = cursorHotspot;
        if (const Hotspot* hotspot = GetHotspot(static_cast<std::int16_t>(index))) {
            const std::optional<std::string> target = hotspot->Snapshot().target;
            if (target && NamesPanorama(target->substr(0, 256)))
                cursor = cursorPanoramaLink;
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
