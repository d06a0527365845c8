#include "apps/linksmith/hotspot_swing.h"

#include <cmath>
#include <utility>

namespace {

constexpr double kSwingThreshold = 10;

// The mean of two angles in [0, 360), the short way round.
double Midway(double a, double b) {
    if (std::fabs(a - b) > 180) {
        if (a < b)
            a += 360;
        else
            b += 360;
    }
    return WrapDegrees360((a + b) / 2);
}

}  // namespace

double WrapDegrees360(double degrees) {
    if (!std::isfinite(degrees))
        return 0;
    degrees = std::fmod(degrees, 360.0);
    if (degrees < 0)
        degrees += 360;
    return degrees >= 360 ? 0 : degrees;
}

double WrapDegrees180(double degrees) {
    if (!std::isfinite(degrees))
        return 0;
    degrees = WrapDegrees360(degrees);
    return degrees > 180 ? degrees - 360 : degrees;
}

SwingTarget HotspotCentre(const HotspotRecord& record) {
    return {Midway(WrapDegrees360(record.heading1), WrapDegrees360(record.heading2)),
            Midway(WrapDegrees360(record.pitch1), WrapDegrees360(record.pitch2))};
}

bool NeedsSwing(const SwingTarget& target, double pan, double tilt) {
    return std::fabs(target.heading - WrapDegrees360(pan)) > kSwingThreshold ||
           std::fabs(target.pitch - WrapDegrees360(tilt)) > kSwingThreshold;
}
