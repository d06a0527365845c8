#pragma once
// Cube faces for the seam tests: uniform colours, smooth textures, and an exact per-pixel
// projection written independently of the seam's own code.

#include <array>
#include <cstdint>

#include "apps/cube_seam/cube_assembly.h"
#include "apps/cube_seam/cube_projection.h"
#include "bitmap/cdib.h"

namespace seam_test {

// Six distinct colours (blue | green << 8 | red << 16) in CubeFace order.
inline constexpr std::array<std::uint32_t, kCubeFaceCount> kFaceColours = {
    0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00};

struct Faces {
    std::array<CDIB, kCubeFaceCount> bitmaps;
    CubeFaceSet Set() const;
};

Faces UniformFaces(int width, int height);
// A smooth texture, different on every face and channel, the same picture whatever the face's
// size; `seed` varies it.
Faces TexturedFaces(const std::array<FaceSize, kCubeFaceCount>& sizes, int seed = 0);

std::uint32_t PixelValue(const CDIB& dib, int x, int y);

// The direction of panorama pixel (x, y) taken from its centre-free formula (heading across,
// pitch down, the half-pixel tilt included), the face it meets by the dominant axis, and the
// real-valued bilinear colour there: channel values as doubles.
struct ExactSample {
    CubeFace face;
    std::array<double, 3> bgr;
};
ExactSample ExactProjection(const CubeFaceSet& faces, int width, int height, int x, int y);

}  // namespace seam_test
