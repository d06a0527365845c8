#include "engine/viewer/interim_renderer.h"

#include <cmath>
#include <cstring>

namespace {

const double kPi = 2.0 * std::acos(0.0);
const double kDeg = kPi / 180.0;
const double kRad = 180.0 / kPi;

struct Vec {
    double x, y, z;
};

double Dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Screen vector (p, q, r) to world (x, y, z) for the view angles (degrees).
Vec RotateView(double pan, double tilt, double roll, double p, double q, double r) {
    const double cr = std::cos(roll * kDeg), sr = std::sin(roll * kDeg);
    const double ct = std::cos(tilt * kDeg), st = std::sin(tilt * kDeg);
    const double cp = std::cos(pan * kDeg), sp = std::sin(pan * kDeg);
    double p1 = p * cr + q * sr, q1 = q * cr - p * sr;
    double q2 = q1 * ct + r * st, r2 = r * ct - q1 * st;
    double p3 = p1 * cp - r2 * sp, r3 = p1 * sp + r2 * cp;
    return Vec{p3, r3, q2};
}

double Focal(int width, double fov) { return width / (2.0 * std::tan(fov * kDeg / 2.0)); }

}  // namespace

int Renderer::Render(const Environment&, const Orientation& view, const Orientation&, int width,
                     int height, std::uint8_t* output, int sourceWidth, int sourceHeight,
                     const std::uint8_t* source, int format, int, int antialias) {
    const int bytes = format == 8 ? 1 : format == 15 || format == 16 ? 2 : format == 24 ? 3 : 0;
    if (bytes == 0 || (antialias != 0 && antialias != 1 && antialias != 8)) return 0;
    const double f = Focal(width, view.fov);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Vec w = RotateView(view.pan, view.tilt, view.roll, x - width / 2, y - height / 2, f);
            const double heading = -std::atan2(w.x, w.y) * kRad;
            const double pitch = std::atan2(w.z, std::sqrt(w.x * w.x + w.y * w.y)) * kRad;
            int column = static_cast<int>(sourceWidth * (180.0 - heading) / 360.0) % sourceWidth;
            if (column < 0) column += sourceWidth;
            const int row = static_cast<int>((pitch + 90.0) / 180.0 * (sourceHeight - 1));
            std::memcpy(output + (static_cast<std::size_t>(y) * width + x) * bytes,
                        source + (static_cast<std::size_t>(row) * sourceWidth + column) * bytes,
                        static_cast<std::size_t>(bytes));
        }
    }
    return 1;
}

int Renderer::XYtoHP(const Environment&, const Orientation& view, const Orientation&, int width,
                     int height, double x, double y, double* heading, double* pitch) {
    const Vec w = RotateView(view.pan, view.tilt, view.roll, x - width / 2, y - height / 2,
                             Focal(width, view.fov));
    *heading = -std::atan2(w.x, w.y) * kRad;
    *pitch = std::atan2(w.z, std::sqrt(w.x * w.x + w.y * w.y)) * kRad;
    return 1;
}

int Renderer::HPtoXY(const Environment&, const Orientation& view, const Orientation&, int width,
                     int height, double heading, double pitch, double* x, double* y) {
    const double h = heading * kDeg, t = pitch * kDeg;
    const Vec v{-std::sin(h) * std::cos(t), std::cos(h) * std::cos(t), std::sin(t)};
    const Vec ax = RotateView(view.pan, view.tilt, view.roll, 1, 0, 0);
    const Vec ay = RotateView(view.pan, view.tilt, view.roll, 0, 1, 0);
    const Vec az = RotateView(view.pan, view.tilt, view.roll, 0, 0, 1);
    const double m = Dot(az, v);
    if (m <= 0.0) return 0;
    const double f = Focal(width, view.fov);
    *x = width / 2 + f * Dot(ax, v) / m;
    *y = height / 2 + f * Dot(ay, v) / m;
    return 1;
}
