#include "engine/render/camera_model.h"

WorldVector DirectionOf(double heading, double pitch) {
    const double h = heading * kDegToRad;
    const double t = pitch * kDegToRad;
    return {-std::sin(h) * std::cos(t), std::cos(h) * std::cos(t), std::sin(t)};
}

ScreenVector RotateView(double pan, double tilt, double roll, double dx, double dy,
                        ScreenVector v) {
    const double cr = std::cos(roll * kDegToRad);
    const double sr = std::sin(roll * kDegToRad);
    const double ct = std::cos(tilt * kDegToRad);
    const double st = std::sin(tilt * kDegToRad);
    const double cp = std::cos(pan * kDegToRad);
    const double sp = std::sin(pan * kDegToRad);

    double p = v.p + dx;
    double q = v.q + dy;
    double r = v.r;
    const double rolledP = p * cr + q * sr;
    q = q * cr - p * sr;
    p = rolledP;
    const double tiltedQ = q * ct + r * st;
    r = r * ct - q * st;
    q = tiltedQ;
    const double pannedP = p * cp - r * sp;
    r = p * sp + r * cp;
    p = pannedP;
    return {p, q, r};
}

namespace {

double Dot(const WorldVector& a, const WorldVector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

}  // namespace

bool ProjectHeadingPitch(double pan, double tilt, double roll, double scale, double shiftX,
                         double shiftY, double heading, double pitch, ScreenPoint& out) {
    const WorldVector v = DirectionOf(heading, pitch);
    const WorldVector axisX = ToWorld(RotateView(pan, tilt, roll, 0.0, 0.0, {1.0, 0.0, 0.0}));
    const WorldVector axisY = ToWorld(RotateView(pan, tilt, roll, 0.0, 0.0, {0.0, 1.0, 0.0}));
    const WorldVector axisZ = ToWorld(RotateView(pan, tilt, roll, 0.0, 0.0, {0.0, 0.0, 1.0}));
    const double m = Dot(axisZ, v);
    if (!(m > 0.0)) {
        return false;
    }
    out.x = scale * Dot(axisX, v) / m - shiftX;
    out.y = scale * Dot(axisY, v) / m - shiftY;
    return true;
}

HeadingPitch ScreenToHeadingPitch(double pan, double tilt, double roll, double scale, double shiftX,
                                  double shiftY, double sx, double sy) {
    const ScreenVector w = RotateView(pan, tilt, roll, shiftX, shiftY, {sx, sy, scale});
    return {-std::atan2(w.p, w.r) * kRadToDeg,
            std::atan2(w.q, std::sqrt(w.p * w.p + w.r * w.r)) * kRadToDeg};
}
