#pragma once
// Angle helpers of the viewer: the heading and pitch of a point seen from the eye, and the
// view limits of a partial panorama. Pure functions on doubles (degrees); any thread.

// Heading and pitch (degrees) of the point (x, y, z) seen from the eye; heading 0 looks along
// +y and grows to the left (towards -x). Both are 0 when undefined (the point straight above
// or below the eye for heading; the point at the eye for pitch).
void PointToHeadingPitch(double eyeX, double eyeY, double eyeZ, double x, double y, double z,
                         double* heading, double* pitch);

// The widest field of view allowed on a partial panorama of the given spans shown in a
// frame of width x height.
double MaxFovForSpan(double width, double height, double panSpan, double tiltSpan);
// How far the pan may turn either way for `fov` on a pan span (360 = no limit).
double PanLimitForFov(double fov, double panSpan);
// How far the tilt may turn either way for a vertical field of view (360 = no limit).
double TiltLimitForFov(double verticalFov, double tiltSpan);
// The vertical field of view of a frame of width x height with horizontal field `fov`.
double VerticalFovForWidth(double fov, double width, double height);

// `angle` brought into (-180, 180] by whole turns; a value that is not finite gives 0.
double WrapAngle(double angle);
