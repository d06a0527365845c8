#pragma once
// The item motion handlers: the camera controller turns the camera to one cube face per frame
// from its orientation at the first frame of each group of six; the object controller holds
// an item at its position and rotation of the group's first frame. Host thread only.

#include "plugin/host_interface/host_api.h"

namespace scenegrab {

inline constexpr const char* kFovWarning =
    "The camera field-of-view is not set properly -- it should be 90.0 degrees horizontally "
    "and vertically.";
inline constexpr const char* kManualLine = "See the manual for additional instructions.";

// Warns once (until the flag is cleared again) when the camera being evaluated does not see
// 90 degrees both ways, within 0.001 radians.
void CheckCameraFov(const MotionAccess& access);

void CameraEvaluate(void* instance, const MotionAccess* access);
void ObjectEvaluate(void* instance, const MotionAccess* access);

}  // namespace scenegrab
