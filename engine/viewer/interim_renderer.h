#pragma once
// The projection class the engine draws with, as far as the engine uses it: the camera model
// with the eye at the reference point and nearest sampling. Not thread-safe; the engine calls
// it under its state lock.

#include <cstdint>

class Renderer {
public:
    struct Environment {
        double xMin, xMax, yMin, yMax, zMin, zMax;
    };
    struct Orientation {
        double x, y, z, pan, tilt, roll, fov;
    };

    // Draws the view into `output` (width x height pixels of `format`'s size, rows bottom-up)
    // from the panorama `source`. 1 drawn, 0 for an unknown format or antialias level.
    int Render(const Environment& environment, const Orientation& view,
               const Orientation& reference, int width, int height, std::uint8_t* output,
               int sourceWidth, int sourceHeight, const std::uint8_t* source, int format,
               int unused, int antialias);
    int XYtoHP(const Environment& environment, const Orientation& view,
               const Orientation& reference, int width, int height, double x, double y,
               double* heading, double* pitch);
    // 0 when the point lies behind the eye.
    int HPtoXY(const Environment& environment, const Orientation& view,
               const Orientation& reference, int width, int height, double heading,
               double pitch, double* x, double* y);
};
