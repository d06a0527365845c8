#include "engine/render/view_setup.h"

#include <cmath>

#include "engine/render/camera_model.h"

namespace {

bool AllFinite(std::initializer_list<double> values) {
    for (double v : values) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

// The smallest positive distance along `direction` from `eye` to one of the six wall planes,
// or nullopt when there is none.
std::optional<double> DistanceToWall(const Renderer::Environment& box, const WorldVector& eye,
                                     const WorldVector& direction) {
    struct Axis {
        double eye;
        double component;
        double wallMin;
        double wallMax;
    };
    const Axis axes[] = {{eye.x, direction.x, box.xMin, box.xMax},
                         {eye.y, direction.y, box.yMin, box.yMax},
                         {eye.z, direction.z, box.zMin, box.zMax}};
    double best = 1e99;
    for (const Axis& axis : axes) {
        if (!(std::fabs(axis.component) > 1e-12)) {
            continue;
        }
        for (double wall : {axis.wallMin, axis.wallMax}) {
            const double t = (wall - axis.eye) / axis.component;
            if (t > 0.0 && t < best) {
                best = t;
            }
        }
    }
    if (!(best < 5e98)) {
        return std::nullopt;
    }
    return best;
}

double Distance(const WorldVector& a, const WorldVector& b) {
    const double dx = a.x - b.x;
    const double dy = a.y - b.y;
    const double dz = a.z - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

std::optional<ViewGeometry> ViewSetup(const Renderer::Environment& environment,
                                      const Renderer::Orientation& viewer,
                                      const Renderer::Orientation& reference, int outWidth) {
    if (!AllFinite({environment.xMin, environment.xMax, environment.yMin, environment.yMax,
                    environment.zMin, environment.zMax, viewer.x, viewer.y, viewer.z, viewer.pan,
                    viewer.tilt, viewer.roll, viewer.fov, reference.x, reference.y, reference.z})) {
        return std::nullopt;
    }
    double scale = outWidth / (2.0 * std::tan(viewer.fov * kDegToRad / 2.0));

    const WorldVector eye{viewer.x, viewer.y, viewer.z};
    const WorldVector origin{reference.x, reference.y, reference.z};
    const WorldVector direction = DirectionOf(viewer.pan, viewer.tilt);
    const std::optional<double> t = DistanceToWall(environment, eye, direction);
    if (!t) {
        return std::nullopt;
    }
    const WorldVector hit{eye.x + *t * direction.x, eye.y + *t * direction.y,
                          eye.z + *t * direction.z};
    scale = scale * Distance(origin, hit) / Distance(eye, hit);
    if (!(scale > 0.0) || !std::isfinite(scale)) {
        return std::nullopt;
    }

    // The wall point seen from the reference, in the atan2 heading convention, projected with the
    // pan negated to match; its offset from the centre is undone by the shift.
    const double x = hit.x - origin.x;
    const double y = hit.y - origin.y;
    const double z = hit.z - origin.z;
    const double heading = std::atan2(x, y) * kRadToDeg;
    const double pitch = std::atan2(z, std::sqrt(x * x + y * y)) * kRadToDeg;
    ScreenPoint seen;
    if (!ProjectHeadingPitch(-viewer.pan, viewer.tilt, viewer.roll, scale, 0.0, 0.0, heading, pitch,
                             seen)) {
        return std::nullopt;
    }
    return ViewGeometry{scale, -seen.x, -seen.y};
}
