#pragma once
// The host's camera: a pinhole at a position and an orientation (heading, pitch, bank in
// radians: the rotation Ry(heading) Rx(pitch) Rz(bank) of the host's rotation parameter) with
// a horizontal and a vertical field of view. Renders the demo scene into three colour planes.
// Pure functions; any thread.

#include <cstdint>
#include <vector>

#include "plugin/scenegrab_host/demo_scene.h"

namespace scenegrab_host {

struct CameraPose {
    Vec3 position;
    Vec3 rotation;  // heading, pitch, bank in radians
};

// One rendered frame: rows top first, each plane width x height bytes.
struct FramePlanes {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> red, green, blue;
};

// `local` (x right, y up, z forward in the camera) turned into the host's axes by `rotation`.
Vec3 TurnByRotation(const Vec3& rotation, const Vec3& local);

// The scene seen by the camera: pixel (i, j) looks through the centre of its cell of the image
// plane at distance 1, which spans tan(fov / 2) to either side.
FramePlanes RenderCameraView(const CameraPose& pose, double horizontalFov, double verticalFov,
                             int width, int height, const Vec3& ball);

}  // namespace scenegrab_host
