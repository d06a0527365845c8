#include "apps/cube_seam/cube_projection.h"

#include <cmath>

#if defined(__x86_64__)
#include "apps/cube_seam/cube_projection_avx2.h"
#endif

namespace {

const double kPi = 2.0 * std::acos(0.0);

double HeadingOf(int xc, int width) {
    return 2.0 * kPi * xc / width;
}

}  // namespace

const char* CubeFaceName(CubeFace face) {
    static constexpr const char* kNames[kCubeFaceCount] = {"Left", "Front", "Right",
                                                           "Back", "Top",   "Bottom"};
    return kNames[static_cast<int>(face)];
}

CubeProjection::CubeProjection(int width, int height,
                               const std::array<FaceSize, kCubeFaceCount>& faceSizes)
    : width_(width), height_(height), faceSizes_(faceSizes) {
    sinHeading_.resize(static_cast<std::size_t>(width) + 1);
    cosHeading_.resize(sinHeading_.size());
    tilt_.resize(sinHeading_.size());
    for (int x = 0; x <= width; ++x) {
        const int xc = x - width / 2;
        const double heading = HeadingOf(xc, width);
        sinHeading_[static_cast<std::size_t>(x)] = std::sin(heading);
        cosHeading_[static_cast<std::size_t>(x)] = std::cos(heading);
        tilt_[static_cast<std::size_t>(x)] = static_cast<double>(xc) / width;
    }
}

FacePosition CubeProjection::PanoramaPixelToFace(int x, int y) const {
    const int xc = x - width_ / 2;
    const int yc = y - height_ / 2;
    double sinHeading, cosHeading, tilt;
    if (x >= 0 && x <= width_) {
        sinHeading = sinHeading_[static_cast<std::size_t>(x)];
        cosHeading = cosHeading_[static_cast<std::size_t>(x)];
        tilt = tilt_[static_cast<std::size_t>(x)];
    } else {
        const double heading = HeadingOf(xc, width_);
        sinHeading = std::sin(heading);
        cosHeading = std::cos(heading);
        tilt = static_cast<double>(xc) / width_;
    }
    // The xc / width term tilts each row by half a pixel across the width; it belongs to the
    // mapping that stored panoramas were made with.
    const double pitch = (yc - tilt) * kPi / height_;
    double sinPitch, cosPitch;
    ::sincos(pitch, &sinPitch, &cosPitch);  // the C library's sin and cos in one call
    const double dx = sinHeading * cosPitch;
    const double dz = cosHeading * cosPitch;
    const double dy = sinPitch;

    // The dominant axis picks the face (ties: X before Z before Y); (a, b) in -1..1 on it.
    //   face    looks along  right edge borders  bottom edge borders
    //   Left    -X           Front               Bottom
    //   Front   +Z           Right               Bottom
    //   Right   +X           Back                Bottom
    //   Back    -Z           Left                Bottom
    //   Top     -Y (up)      Back                Right
    //   Bottom  +Y (down)    Front               Right
    const double xx = dx * dx, yy = dy * dy, zz = dz * dz;
    FacePosition position;
    double a, b;
    if (xx >= zz && xx >= yy) {
        position.face = dx < 0 ? CubeFace::Left : CubeFace::Right;
        a = -dz / dx;
        b = dx < 0 ? -dy / dx : dy / dx;
    } else if (zz >= xx && zz >= yy) {
        position.face = dz < 0 ? CubeFace::Back : CubeFace::Front;
        a = dx / dz;
        b = dz < 0 ? -dy / dz : dy / dz;
    } else {
        position.face = dy < 0 ? CubeFace::Top : CubeFace::Bottom;
        a = dz / dy;
        b = dy < 0 ? -dx / dy : dx / dy;
    }
    const FaceSize& size = SizeOf(position.face);
    position.u = (a + 1) / 2 * (size.width - 1);
    position.v = (b + 1) / 2 * (size.height - 1);
    return position;
}

void CubeProjection::PanoramaRowToFace(int x, int y, std::span<FacePosition, 16> out) const {
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        const std::size_t column = static_cast<std::size_t>(x);
        const ProjectionRow row = {&sinHeading_[column],
                                   &cosHeading_[column],
                                   &tilt_[column],
                                   static_cast<double>(y - height_ / 2),
                                   kPi,
                                   static_cast<double>(height_),
                                   faceSizes_.data()};
        ProjectRowAvx2(row, out.data());
        return;
    }
#endif
    for (int i = 0; i < static_cast<int>(out.size()); ++i)
        out[static_cast<std::size_t>(i)] = PanoramaPixelToFace(x + i, y);
}
