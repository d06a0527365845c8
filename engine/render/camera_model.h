#pragma once

// The camera model shared by the renderer's drawing and its point conversions: the rotation from
// screen space to world space and the two projections between screen points and heading/pitch.
// Pure functions of their arguments; any thread.
//
// World space: x and y horizontal, z up. Heading H and pitch T (degrees) give the direction
// (-sin H cos T, cos H cos T, sin T); heading 0 looks along +y and headings grow to the left.

#include <cmath>

// Angles are degrees at every interface and radians inside.
inline const double kPi = 2.0 * std::acos(0.0);
inline const double kDegToRad = kPi / 180.0;
inline const double kRadToDeg = 180.0 / kPi;

// A vector in screen space (p right, q up, r into the screen) or, after `RotateView`, the world
// vector (x, y, z) = (p, r, q).
struct ScreenVector {
    double p = 0.0;
    double q = 0.0;
    double r = 0.0;
};

struct WorldVector {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline WorldVector ToWorld(const ScreenVector& v) {
    return {v.p, v.r, v.q};
}

// The direction of heading `heading` and pitch `pitch` (degrees).
WorldVector DirectionOf(double heading, double pitch);

// Screen-to-world rotation: offsets (dx, dy) are added to (p, q) first, then roll, tilt and pan
// (degrees) are applied in that order. The result is in the (p, q, r) order; see `ToWorld`.
ScreenVector RotateView(double pan, double tilt, double roll, double dx, double dy, ScreenVector v);

struct ScreenPoint {
    double x = 0.0;
    double y = 0.0;
};

// Projects the direction (heading, pitch) onto the screen of a camera with the given pan, tilt,
// roll, focal scale and view shift; the point is relative to the screen centre. Returns false
// (and leaves `out` unchanged) when the direction is not in front of the eye.
bool ProjectHeadingPitch(double pan, double tilt, double roll, double scale, double shiftX,
                         double shiftY, double heading, double pitch, ScreenPoint& out);

struct HeadingPitch {
    double heading = 0.0;
    double pitch = 0.0;
};

// The heading and pitch (degrees) seen through the screen point (sx, sy), relative to the
// screen centre, of the camera with the given pan, tilt, roll, focal scale and view shift.
HeadingPitch ScreenToHeadingPitch(double pan, double tilt, double roll, double scale, double shiftX,
                                  double shiftY, double sx, double sy);
