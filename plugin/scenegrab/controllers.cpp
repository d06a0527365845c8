#include "plugin/scenegrab/controllers.h"

#include <cmath>
#include <string>

#include "plugin/scenegrab/face_rotation.h"
#include "plugin/scenegrab/module_state.h"
#include "plugin/scenegrab/plugin_ui.h"

namespace scenegrab {

namespace {

constexpr double kRightAngle = 1.570796327;
constexpr double kFovTolerance = 0.001;

struct GroupStart {
    int first = 0;    // the scene's first frame
    double time = 0;  // the time of the group's first frame
};

// The group that `access` lies in; nullopt for frames the controllers leave alone (below 1,
// before the scene's first frame, or no scene range from the host).
std::optional<GroupStart> GroupOf(const MotionAccess& access) {
    const std::optional<FrameRange> range = SceneFrameRange();
    if (!range || access.frame < 1 || access.frame < range->first)
        return std::nullopt;
    const int base = access.frame - (access.frame - range->first) % 6;
    return GroupStart{range->first, access.time / access.frame * base};
}

}  // namespace

void CheckCameraFov(const MotionAccess& access) {
    ModuleState& module = Module();
    if (module.fovWarned)
        return;
    const std::optional<FieldOfView> fov = CameraFieldOfView(access.item, access.time);
    if (!fov)
        return;
    if (std::fabs(fov->horizontal - kRightAngle) <= kFovTolerance &&
        std::fabs(fov->vertical - kRightAngle) <= kFovTolerance)
        return;
    ShowPluginMessage(std::string(kFovWarning) + "\n\n" + kManualLine, 0);
    module.fovWarned = true;
}

void CameraEvaluate(void* /*instance*/, const MotionAccess* access) {
    if (access == nullptr)
        return;
    CheckCameraFov(*access);
    const std::optional<GroupStart> group = GroupOf(*access);
    if (!group)
        return;
    double position[3] = {};
    double rotation[3] = {};
    access->get(kParameterPosition, group->time, position);
    access->get(kParameterRotation, group->time, rotation);
    const Orientation turned =
        FaceRotation({rotation[0], rotation[1], rotation[2]}, access->frame - group->first);
    const double faceRotation[3] = {turned.heading, turned.pitch, turned.bank};
    access->set(kParameterRotation, faceRotation);
    access->set(kParameterPosition, position);
}

void ObjectEvaluate(void* /*instance*/, const MotionAccess* access) {
    if (access == nullptr)
        return;
    const std::optional<GroupStart> group = GroupOf(*access);
    if (!group)
        return;
    double position[3] = {};
    double rotation[3] = {};
    access->get(kParameterPosition, group->time, position);
    access->get(kParameterRotation, group->time, rotation);
    access->set(kParameterRotation, rotation);
    access->set(kParameterPosition, position);
}

}  // namespace scenegrab
