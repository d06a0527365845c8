#pragma once
// The cube-face turns of the camera controller. Vectors are in the host's axes (x right, y up,
// z forward); an orientation is (heading, pitch, bank) in radians as the host's rotation
// parameter gives it. Pure functions, any thread.

#include <array>

namespace scenegrab {

struct Vector3 {
    double x = 0, y = 0, z = 0;
};

struct Orientation {
    double heading = 0, pitch = 0, bank = 0;
};

// A 3 x 3 matrix of doubles in row storage, applied to column vectors (v' = M v).
struct Matrix3 {
    std::array<std::array<double, 3>, 3> m{};

    Matrix3 operator*(const Matrix3& other) const;
    Vector3 operator*(const Vector3& v) const;
};

// The camera faces in render order, indexed by the face offset (frame - first frame) mod 6.
enum class FaceOffset { Front = 0, Right = 1, Back = 2, Left = 3, Top = 4, Bottom = 5 };

struct FaceDirection {
    Vector3 direction;
    Vector3 up;
};

// Direction and up vector of face offset k (0..5) for an unrotated camera.
const FaceDirection& FaceTableEntry(int k);

// Ry(heading) Rx(pitch) Rz(bank).
Matrix3 RotationMatrix(const Orientation& orientation);

// The orientation whose rotation turns (0, 0, 1) onto `direction` and (0, 1, 0) onto `up`.
Orientation OrientationFromVectors(Vector3 direction, Vector3 up);

// `orientation` turned towards face offset `k` (taken mod 6, never negative).
Orientation FaceRotation(const Orientation& orientation, int k);

}  // namespace scenegrab
