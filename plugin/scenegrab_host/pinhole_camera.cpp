#include "plugin/scenegrab_host/pinhole_camera.h"

#include <cmath>
#include <cstddef>

namespace scenegrab_host {

Vec3 TurnByRotation(const Vec3& rotation, const Vec3& v) {
    const double ch = std::cos(rotation.x), sh = std::sin(rotation.x);
    const double cp = std::cos(rotation.y), sp = std::sin(rotation.y);
    const double cb = std::cos(rotation.z), sb = std::sin(rotation.z);
    // Rz(bank), then Rx(pitch), then Ry(heading).
    const Vec3 banked{cb * v.x - sb * v.y, sb * v.x + cb * v.y, v.z};
    const Vec3 pitched{banked.x, cp * banked.y - sp * banked.z, sp * banked.y + cp * banked.z};
    return {ch * pitched.x + sh * pitched.z, pitched.y, -sh * pitched.x + ch * pitched.z};
}

FramePlanes RenderCameraView(const CameraPose& pose, double horizontalFov, double verticalFov,
                             int width, int height, const Vec3& ball) {
    FramePlanes frame;
    frame.width = width;
    frame.height = height;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    frame.red.resize(count);
    frame.green.resize(count);
    frame.blue.resize(count);
    const double spanX = std::tan(horizontalFov / 2);
    const double spanY = std::tan(verticalFov / 2);
    std::size_t at = 0;
    for (int j = 0; j < height; ++j) {
        const double y = (1.0 - 2.0 * (j + 0.5) / height) * spanY;
        for (int i = 0; i < width; ++i, ++at) {
            const double x = (2.0 * (i + 0.5) / width - 1.0) * spanX;
            const Rgb colour =
                SceneColour(pose.position, TurnByRotation(pose.rotation, {x, y, 1}), ball);
            frame.red[at] = colour.r;
            frame.green[at] = colour.g;
            frame.blue[at] = colour.b;
        }
    }
    return frame;
}

}  // namespace scenegrab_host
