#include "plugin/scenegrab/module_state.h"

namespace scenegrab {

namespace {

void* Service(const char* name) {
    const HostGlobalFunction global = Module().global;
    return global != nullptr ? global(name, 0) : nullptr;
}

}  // namespace

ModuleState& Module() {
    static ModuleState state;
    return state;
}

std::optional<FrameRange> SceneFrameRange() {
    const auto* scene = static_cast<const SceneInfo*>(Service(kSceneInfoService));
    if (scene == nullptr)
        return std::nullopt;
    return FrameRange{scene->firstFrame, scene->lastFrame};
}

std::optional<FieldOfView> CameraFieldOfView(ItemId camera, double time) {
    if (camera == nullptr) {
        const auto* items = static_cast<const ItemInfo*>(Service(kItemInfoService));
        if (items == nullptr || items->first == nullptr)
            return std::nullopt;
        camera = items->first(kItemTypeCamera, nullptr);
        if (camera == nullptr)
            return std::nullopt;
    }
    const auto* cameras = static_cast<const CameraInfo*>(Service(kCameraInfoService));
    if (cameras == nullptr || cameras->fieldOfView == nullptr)
        return std::nullopt;
    if (cameras->first != nullptr)
        static_cast<void>(cameras->first(camera, time));
    FieldOfView fov;
    cameras->fieldOfView(camera, time, &fov.horizontal, &fov.vertical);
    return fov;
}

}  // namespace scenegrab
