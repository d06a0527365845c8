#include "plugin/scenegrab_host/demo_scene.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace scenegrab_host {

namespace {

constexpr double kNoHit = std::numeric_limits<double>::infinity();

double Dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

std::uint8_t Channel(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
    return {Channel(a.r + (b.r - a.r) * t), Channel(a.g + (b.g - a.g) * t),
            Channel(a.b + (b.b - a.b) * t)};
}

// Distance along the unit ray to a vertical pillar's side, or kNoHit.
double HitPillar(const Vec3& eye, const Vec3& d, const Pillar& pillar) {
    const double bearing = pillar.bearingDegrees * std::numbers::pi / 180.0;
    const double cx = kPillarDistance * std::sin(bearing);
    const double cz = kPillarDistance * std::cos(bearing);
    const double ox = eye.x - cx, oz = eye.z - cz;
    const double a = d.x * d.x + d.z * d.z;
    if (a < 1e-12)
        return kNoHit;
    const double b = 2 * (ox * d.x + oz * d.z);
    const double c = ox * ox + oz * oz - kPillarRadius * kPillarRadius;
    const double disc = b * b - 4 * a * c;
    if (disc < 0)
        return kNoHit;
    const double t = (-b - std::sqrt(disc)) / (2 * a);
    if (t <= 0)
        return kNoHit;
    const double y = eye.y + t * d.y;
    return y >= 0 && y <= kPillarHeight ? t : kNoHit;
}

double HitBall(const Vec3& eye, const Vec3& d, const Vec3& ball) {
    const Vec3 o{eye.x - ball.x, eye.y - ball.y, eye.z - ball.z};
    const double b = Dot(o, d);
    const double c = Dot(o, o) - kBallRadius * kBallRadius;
    const double disc = b * b - c;
    if (disc < 0)
        return kNoHit;
    const double t = -b - std::sqrt(disc);
    return t > 0 ? t : kNoHit;
}

Rgb Ground(const Vec3& point, double distance) {
    const long cell = std::lround(std::floor(point.x / kCheckerSize)) +
                      std::lround(std::floor(point.z / kCheckerSize));
    const Rgb checker = (cell & 1) != 0 ? Rgb{60, 60, 60} : Rgb{220, 220, 200};
    const double fade = std::clamp((distance - 8.0) / 20.0, 0.0, 1.0);
    return Mix(checker, Rgb{140, 140, 130}, fade);
}

Rgb Sky(const Vec3& d) {
    return Mix(Rgb{200, 225, 255}, Rgb{30, 70, 170}, std::clamp(d.y, 0.0, 1.0));
}

}  // namespace

const std::array<Pillar, 6>& ScenePillars() {
    static const std::array<Pillar, 6> pillars{{
        {0, {220, 30, 30}},
        {60, {230, 220, 30}},
        {120, {30, 200, 40}},
        {180, {30, 210, 220}},
        {240, {40, 50, 230}},
        {300, {220, 40, 220}},
    }};
    return pillars;
}

Vec3 BallPositionAt(double time) {
    const double angle = time * std::numbers::pi / 4.0;
    return {3.0 * std::sin(angle), 1.0, 3.0 * std::cos(angle)};
}

Rgb SceneColour(const Vec3& eye, const Vec3& direction, const Vec3& ball) {
    const double length = std::sqrt(Dot(direction, direction));
    if (length == 0)
        return Sky({0, 1, 0});
    const Vec3 d{direction.x / length, direction.y / length, direction.z / length};

    double nearest = kNoHit;
    Rgb colour = d.y < 0 ? Rgb{} : Sky(d);
    for (const Pillar& pillar : ScenePillars()) {
        const double t = HitPillar(eye, d, pillar);
        if (t < nearest) {
            nearest = t;
            colour = pillar.colour;
        }
    }
    const double tBall = HitBall(eye, d, ball);
    if (tBall < nearest) {
        nearest = tBall;
        colour = Rgb{250, 140, 20};
    }
    if (d.y < 0) {
        const double tGround = -eye.y / d.y;
        if (tGround < nearest)
            colour = Ground({eye.x + tGround * d.x, 0, eye.z + tGround * d.z}, tGround);
    }
    return colour;
}

}  // namespace scenegrab_host
