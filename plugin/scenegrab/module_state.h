#pragma once
// The state the whole module shares, one per loaded module, and the host services it reads
// through the host's global function. Host thread only (every callback arrives there).

#include <optional>

#include "plugin/host_interface/host_api.h"

namespace scenegrab {

struct ModuleState {
    // The host's global function, stored by every activation (the last one wins).
    HostGlobalFunction global = nullptr;
    // The field-of-view warning was shown in this render.
    bool fovWarned = false;
    // The camera controller was activated.
    bool cameraControllerActive = false;
};

// The module's one state. Start-up and shutdown reset it.
ModuleState& Module();

struct FrameRange {
    int first = 0;
    int last = 0;
};

// The scene's frame range from "LW Scene Info"; nullopt when the host has no such service.
std::optional<FrameRange> SceneFrameRange();

struct FieldOfView {
    double horizontal = 0;
    double vertical = 0;
};

// The field of view of `camera` at `time` from "LW Camera Info" (first asking its first
// function, whose result is not used); when `camera` is null, of the scene's first camera
// from "LW Item Info". Nullopt when a service or the camera is missing.
std::optional<FieldOfView> CameraFieldOfView(ItemId camera, double time);

}  // namespace scenegrab
