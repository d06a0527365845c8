#include "plugin/scenegrab/face_rotation.h"

#include <cmath>

namespace scenegrab {

namespace {

constexpr std::array<FaceDirection, 6> kFaceTable{{
    {{0, 0, 1}, {0, 1, 0}},    // front
    {{1, 0, 0}, {0, 1, 0}},    // right
    {{0, 0, -1}, {0, 1, 0}},   // back
    {{-1, 0, 0}, {0, 1, 0}},   // left
    {{0, 1, 0}, {-1, 0, 0}},   // top
    {{0, -1, 0}, {-1, 0, 0}},  // bottom
}};

}  // namespace

Matrix3 Matrix3::operator*(const Matrix3& other) const {
    Matrix3 product;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k)
                product.m[r][c] += m[r][k] * other.m[k][c];
    return product;
}

Vector3 Matrix3::operator*(const Vector3& v) const {
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
            m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

const FaceDirection& FaceTableEntry(int k) {
    return kFaceTable[static_cast<std::size_t>(((k % 6) + 6) % 6)];
}

Matrix3 RotationMatrix(const Orientation& o) {
    const double ch = std::cos(o.heading), sh = std::sin(o.heading);
    const double cp = std::cos(o.pitch), sp = std::sin(o.pitch);
    const double cb = std::cos(o.bank), sb = std::sin(o.bank);
    Matrix3 ry, rx, rz;
    ry.m = {{{ch, 0, sh}, {0, 1, 0}, {-sh, 0, ch}}};
    rx.m = {{{1, 0, 0}, {0, cp, -sp}, {0, sp, cp}}};
    rz.m = {{{cb, -sb, 0}, {sb, cb, 0}, {0, 0, 1}}};
    return ry * rx * rz;
}

Orientation OrientationFromVectors(Vector3 d, Vector3 u) {
    Orientation o;
    o.heading = std::atan2(d.x, d.z);
    const Matrix3 unturn = RotationMatrix({-o.heading, 0, 0});
    d = unturn * d;
    u = unturn * u;
    o.pitch = std::atan2(-d.y, d.z);
    const Matrix3 untilt = RotationMatrix({0, -o.pitch, 0});
    d = untilt * d;
    u = untilt * u;
    o.bank = std::atan2(-u.x, u.y);
    return o;
}

Orientation FaceRotation(const Orientation& orientation, int k) {
    const Matrix3 m = RotationMatrix(orientation);
    const FaceDirection& face = FaceTableEntry(k);
    return OrientationFromVectors(m * face.direction, m * face.up);
}

}  // namespace scenegrab
