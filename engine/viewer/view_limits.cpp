#include "engine/viewer/view_limits.h"

#include <algorithm>
#include <cmath>

namespace {

const double kPi = 2.0 * std::acos(0.0);
const double kDegrees = 180.0 / kPi;
const double kRadians = kPi / 180.0;

}  // namespace

void PointToHeadingPitch(double eyeX, double eyeY, double eyeZ, double x, double y, double z,
                         double* heading, double* pitch) {
    const double dx = x - eyeX;
    const double dy = y - eyeY;
    const double dz = z - eyeZ;
    const double d = std::sqrt(dx * dx + dy * dy);
    *heading = (dx == 0.0 && dy == 0.0) ? 0.0 : std::atan2(-dx, dy) * kDegrees;
    *pitch = (dz == 0.0 && d == 0.0) ? 0.0 : std::atan2(dz, d) * kDegrees;
}

double MaxFovForSpan(double width, double height, double panSpan, double tiltSpan) {
    const double fromTilt =
        2.0 * std::atan(std::tan(tiltSpan * kRadians / 2.0) * width / height) * kDegrees;
    return 0.75 * std::min(fromTilt, panSpan);
}

double PanLimitForFov(double fov, double panSpan) {
    if (panSpan < fov)
        return 0.0;
    if (panSpan >= 360.0)
        return 360.0;
    return (panSpan - fov) * 0.5 * 0.75;
}

double TiltLimitForFov(double verticalFov, double tiltSpan) {
    if (verticalFov > tiltSpan)
        return 0.0;
    if (tiltSpan >= 180.0)
        return 360.0;
    return (tiltSpan - verticalFov) * 0.5 * 0.75;
}

double VerticalFovForWidth(double fov, double width, double height) {
    return fov * height / width;
}

double WrapAngle(double angle) {
    // A value that is not a number would never leave the loops below; a huge one would take
    // ages in them.
    if (!std::isfinite(angle))
        return 0.0;
    if (std::fabs(angle) > 3600.0)
        angle = std::fmod(angle, 360.0);
    while (angle > 180.0)
        angle -= 360.0;
    while (angle <= -180.0)
        angle += 360.0;
    return angle;
}
