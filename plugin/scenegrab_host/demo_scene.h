#pragma once
// The stand-in host's own scene: a sky that darkens towards the zenith, a checkered ground
// that fades to grey in the distance, six coloured pillars at known bearings around the
// origin and a ball that circles them. Directions and points are in the host's axes (x right,
// y up, z forward). Pure functions of their arguments; any thread.

#include <array>
#include <cstdint>

namespace scenegrab_host {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Pillar {
    double bearingDegrees;  // heading from +z towards +x
    Rgb colour;
};

inline constexpr double kPillarDistance = 5.0;
inline constexpr double kPillarRadius = 0.6;
inline constexpr double kPillarHeight = 3.0;
inline constexpr double kBallRadius = 0.5;
inline constexpr double kCheckerSize = 1.0;

// Pillars at bearings 0, 60, ..., 300 degrees: red, yellow, green, cyan, blue, magenta.
const std::array<Pillar, 6>& ScenePillars();

// Where the ball is at `time` seconds: on a circle of radius 3 at height 1, a quarter turn
// every 2 seconds, starting at (0, 1, 3).
Vec3 BallPositionAt(double time);

// The colour seen from `eye` along `direction` (need not be unit length) with the ball at
// `ball`: the nearest of pillars, ball and ground, else the sky.
Rgb SceneColour(const Vec3& eye, const Vec3& direction, const Vec3& ball);

}  // namespace scenegrab_host
