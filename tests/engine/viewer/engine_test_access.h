#pragma once
// The tests' view into a viewer engine: its shared state under the lock, and the fields the
// user-interface thread keeps to itself.

#include "engine/viewer/viewer_engine.h"

struct ViewerEngineTestAccess {
    // The shared view state, locked for as long as the guard lives.
    static ViewStateGuard State(const ViewerEngine& engine) { return engine.LockState(); }
    // The decoded panorama (information header first); null when none is held.
    static const std::uint8_t* Image(const ViewerEngine& engine) {
        const ViewStateGuard state = engine.LockState();
        return state->image ? state->image.Data() : nullptr;
    }
    static bool HasRenderThread(const ViewerEngine& engine) {
        return engine.renderThread != nullptr;
    }
    static std::int16_t Paused(const ViewerEngine& engine) { return engine.paused; }
    static std::int16_t RateReversed(const ViewerEngine& engine) { return engine.rateReversed; }
    static std::int32_t& Animating(ViewerEngine& engine) { return engine.animating; }
    static std::int32_t& GrabbedAvatar(ViewerEngine& engine) { return engine.grabbedAvatar; }
    static std::uint32_t& GrabKeys(ViewerEngine& engine) { return engine.grabKeys; }
    static MediaPlayer& Media(ViewerEngine& engine) { return engine.media; }
    static std::int16_t& PlayingMedia(ViewerEngine& engine) { return engine.playingMedia; }
    static std::array<std::unique_ptr<std::string>, 32>& AvatarSounds(ViewerEngine& engine) {
        return engine.avatarSounds;
    }
};
using Access = ViewerEngineTestAccess;
