#include "tests/apps/cube_seam/face_sets.h"

#include <cmath>

namespace seam_test {

CubeFaceSet Faces::Set() const {
    CubeFaceSet set{};
    for (int k = 0; k < kCubeFaceCount; ++k)
        set[k] = &bitmaps[k];
    return set;
}

Faces UniformFaces(int width, int height) {
    Faces faces;
    for (int k = 0; k < kCubeFaceCount; ++k) {
        faces.bitmaps[k] = CDIB(width, height, 24);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                faces.bitmaps[k].SetPixelValue(x, y, kFaceColours[k]);
    }
    return faces;
}

Faces TexturedFaces(const std::array<FaceSize, kCubeFaceCount>& sizes, int seed) {
    Faces faces;
    for (int k = 0; k < kCubeFaceCount; ++k) {
        CDIB& face = faces.bitmaps[k];
        face = CDIB(sizes[k].width, sizes[k].height, 24);
        const double phase = 0.7 * k + 1.3 * seed;
        // The same picture at every size: frequencies are per 512 face pixels.
        const double across = 512.0 / sizes[k].width;
        const double down = 512.0 / sizes[k].height;
        for (int y = 0; y < sizes[k].height; ++y) {
            for (int x = 0; x < sizes[k].width; ++x) {
                const auto channel = [&](double fx, double fy, double shift) {
                    return static_cast<std::uint32_t>(
                        std::lround(127.5 + 120 * std::sin(x * fx * across + phase + shift) *
                                                std::cos(y * fy * down - phase)));
                };
                face.SetPixelValue(x, y,
                                   channel(0.045, 0.03, 0) | channel(0.02, 0.05, 1) << 8 |
                                       channel(0.035, 0.015, 2) << 16);
            }
        }
    }
    return faces;
}

std::uint32_t PixelValue(const CDIB& dib, int x, int y) {
    std::uint8_t r = 0, g = 0, b = 0;
    dib.GetPixel(x, y, &r, &g, &b);
    return std::uint32_t{b} | std::uint32_t{g} << 8 | std::uint32_t{r} << 16;
}

ExactSample ExactProjection(const CubeFaceSet& faces, int width, int height, int x, int y) {
    const double pi = std::acos(-1.0);
    const double xc = x - width / 2;
    const double yc = y - height / 2;
    const double heading = 2 * pi * xc / width;
    const double pitch = pi * (yc - xc / width) / height;
    // Right, down, ahead.
    const double d[3] = {std::sin(heading) * std::cos(pitch), std::sin(pitch),
                         std::cos(heading) * std::cos(pitch)};
    const double ax = std::fabs(d[0]), ay = std::fabs(d[1]), az = std::fabs(d[2]);
    CubeFace face;
    double a, b;  // -1..1 across and down the face picture
    if (ax >= az && ax >= ay) {
        face = d[0] < 0 ? CubeFace::Left : CubeFace::Right;
        a = (d[0] < 0 ? d[2] : -d[2]) / ax;
        b = d[1] / ax;
    } else if (az >= ay) {
        face = d[2] < 0 ? CubeFace::Back : CubeFace::Front;
        a = (d[2] < 0 ? -d[0] : d[0]) / az;
        b = d[1] / az;
    } else {
        face = d[1] < 0 ? CubeFace::Top : CubeFace::Bottom;
        // Top: left edge Front, top edge Left; Bottom: left edge Back, top edge Left.
        a = (d[1] < 0 ? -d[2] : d[2]) / ay;
        b = d[0] / ay;
    }
    const CDIB& dib = *faces[static_cast<int>(face)];
    const double u = std::clamp((a + 1) / 2 * (dib.GetWidth() - 1), 0.0, dib.GetWidth() - 1.0);
    const double v = std::clamp((b + 1) / 2 * (dib.GetHeight() - 1), 0.0, dib.GetHeight() - 1.0);
    const int x0 = static_cast<int>(u), y0 = static_cast<int>(v);
    const int x1 = std::min(x0 + 1, dib.GetWidth() - 1), y1 = std::min(y0 + 1, dib.GetHeight() - 1);
    const double fu = u - x0, fv = v - y0;
    ExactSample sample{face, {}};
    const std::uint32_t p[4] = {PixelValue(dib, x0, y0), PixelValue(dib, x1, y0),
                                PixelValue(dib, x0, y1), PixelValue(dib, x1, y1)};
    const double w[4] = {(1 - fu) * (1 - fv), fu * (1 - fv), (1 - fu) * fv, fu * fv};
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < 4; ++i)
            sample.bgr[c] += w[i] * ((p[i] >> (8 * c)) & 255);
    }
    return sample;
}

}  // namespace seam_test
