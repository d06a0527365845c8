#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "plugin/scenegrab/face_rotation.h"

namespace {

using scenegrab::FaceRotation;
using scenegrab::Orientation;
using scenegrab::RotationMatrix;
using scenegrab::Vector3;

constexpr double kDegree = std::numbers::pi / 180;

void ExpectNear(const Vector3& actual, const Vector3& expected, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-9) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-9) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-9) << what;
}

// Every face turn of a camera looks where the face table says, seen from the camera's own
// orientation, with the table's up vector: compared as look and up vectors, which the three
// angles of an orientation only stand for.
TEST(FaceRotation, TurnsTheCameraToEachFaceFromItsOwnOrientation) {
    const Orientation cameras[] = {
        {0, 0, 0},
        {90 * kDegree, 0, 0},
        {-35 * kDegree, 12 * kDegree, 5 * kDegree},
        {170 * kDegree, -60 * kDegree, -30 * kDegree},
    };
    for (const Orientation& camera : cameras) {
        const auto own = RotationMatrix(camera);
        for (int k = 0; k < 6; ++k) {
            SCOPED_TRACE(testing::Message() << "heading " << camera.heading << " face " << k);
            const auto turned = RotationMatrix(FaceRotation(camera, k));
            const auto& face = scenegrab::FaceTableEntry(k);
            ExpectNear(turned * Vector3{0, 0, 1}, own * face.direction, "look");
            ExpectNear(turned * Vector3{0, 1, 0}, own * face.up, "up");
            // The offset counts frames from the scene's first: the seventh frame starts over.
            ExpectNear(RotationMatrix(FaceRotation(camera, k + 6)) * Vector3{0, 0, 1},
                       own * face.direction, "next group");
        }
    }
}

TEST(FaceRotation, GivesTheKnownAnglesAndDirections) {
    struct Case {
        Orientation camera;
        int face;
        Orientation expected;  // degrees
    };
    const Case cases[] = {
        {{0, 0, 0}, 0, {0, 0, 0}},    {{0, 0, 0}, 1, {90, 0, 0}},  {{0, 0, 0}, 3, {-90, 0, 0}},
        {{0, 0, 0}, 4, {0, -90, 90}}, {{0, 0, 0}, 5, {0, 90, 90}},
    };
    for (const Case& c : cases) {
        const Orientation o = FaceRotation(c.camera, c.face);
        EXPECT_NEAR(o.heading / kDegree, c.expected.heading, 1e-9) << c.face;
        EXPECT_NEAR(o.pitch / kDegree, c.expected.pitch, 1e-9) << c.face;
        EXPECT_NEAR(o.bank / kDegree, c.expected.bank, 1e-9) << c.face;
    }
    const Orientation east{90 * kDegree, 0, 0};
    ExpectNear(RotationMatrix(FaceRotation(east, 0)) * Vector3{0, 0, 1}, {1, 0, 0}, "face 0");
    ExpectNear(RotationMatrix(FaceRotation(east, 1)) * Vector3{0, 0, 1}, {0, 0, -1}, "face 1");
}

}  // namespace
