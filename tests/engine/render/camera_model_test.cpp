#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/render/renderer.h"
#include "engine/render/view_setup.h"

namespace {

const Renderer::Environment kBox{-1000, 1000, -1000, 1000, -1000, 1000};
const Renderer::Orientation kReference{};

Renderer::Orientation View(double pan, double tilt, double roll, double fov) {
    return {0, 0, 0, pan, tilt, roll, fov};
}

double HeadingDifference(double a, double b) {
    return std::remainder(a - b, 360.0);
}

TEST(CameraModel, FocalScaleFollowsWidthAndFieldOfView) {
    struct Case {
        int width;
        double fov;
        double scale;
    };
    const Case cases[] = {{512, 90, 256}, {640, 90, 320}, {512, 60, 256 * std::sqrt(3.0)}};
    for (const Case& c : cases) {
        const auto view = ViewSetup(kBox, View(10, 20, 30, c.fov), kReference, c.width);
        ASSERT_TRUE(view.has_value());
        EXPECT_NEAR(view->scale, c.scale, 1e-9) << c.width << " " << c.fov;
        EXPECT_NEAR(view->shiftX, 0.0, 1e-9);
        EXPECT_NEAR(view->shiftY, 0.0, 1e-9);
    }
}

TEST(CameraModel, CentreOfFrameSeesPanAndTilt) {
    Renderer renderer;
    const double views[][2] = {{0, 0}, {45, 10}, {-170, -80}, {179.5, 60}, {90, 0}};
    for (const auto& v : views) {
        double heading = 0;
        double pitch = 0;
        ASSERT_EQ(renderer.XYtoHP(kBox, View(v[0], v[1], 0, 90), kReference, 640, 480, 320, 240,
                                  heading, pitch),
                  1);
        EXPECT_NEAR(HeadingDifference(heading, v[0]), 0.0, 1e-9);
        EXPECT_NEAR(pitch, v[1], 1e-9);
    }
}

TEST(CameraModel, PointsTurnWithTheView) {
    Renderer renderer;
    double heading = 0;
    double pitch = 0;
    // Headings grow to the left, and frame rows grow upward with pitch.
    ASSERT_EQ(
        renderer.XYtoHP(kBox, View(0, 0, 0, 90), kReference, 512, 256, 0, 128, heading, pitch), 1);
    EXPECT_NEAR(heading, 45.0, 1e-9);
    ASSERT_EQ(
        renderer.XYtoHP(kBox, View(0, 0, 0, 90), kReference, 512, 256, 256, 384, heading, pitch),
        1);
    EXPECT_NEAR(pitch, 45.0, 1e-9);
    // Rolled by 90 degrees, the right edge of the frame shows what was above the centre.
    ASSERT_EQ(
        renderer.XYtoHP(kBox, View(0, 0, 90, 90), kReference, 512, 512, 512, 256, heading, pitch),
        1);
    EXPECT_NEAR(std::fabs(pitch), 45.0, 1e-9);
}

TEST(CameraModel, PointsBehindTheEyeHaveNoFramePoint) {
    Renderer renderer;
    double x = -1;
    double y = -1;
    EXPECT_EQ(renderer.HPtoXY(kBox, View(30, 0, 0, 90), kReference, 640, 480, 210, 0, x, y), 0);
    EXPECT_EQ(renderer.HPtoXY(kBox, View(30, 0, 0, 90), kReference, 640, 480, 30, 0, x, y), 1);
    EXPECT_NEAR(x, 320, 1e-9);
    EXPECT_NEAR(y, 240, 1e-9);
    EXPECT_EQ(renderer.HPtoXY(kBox, View(0, 80, 0, 90), kReference, 640, 480, 0, -80, x, y), 0);
}

TEST(CameraModel, EyeOutsideTheBoxLookingAwaySeesNothing) {
    Renderer renderer;
    // Beyond the +y wall, looking along +y (heading 0).
    const Renderer::Orientation away{0, 1500, 0, 0, 0, 0, 90};
    double a = 0;
    double b = 0;
    EXPECT_EQ(renderer.XYtoHP(kBox, away, kReference, 64, 64, 32, 32, a, b), 0);
    EXPECT_EQ(renderer.HPtoXY(kBox, away, kReference, 64, 64, 0, 0, a, b), 0);
    std::vector<std::uint8_t> source(64 * 32 * 3, 7);
    std::vector<std::uint8_t> frame(64 * 64 * 3, 0);
    EXPECT_EQ(renderer.Render(kBox, away, kReference, 64, 64, frame.data(), 64, 32, source.data(),
                              PixelFormatCode::Bgr24, 0, AntialiasLevel::Nearest),
              0);
    EXPECT_EQ(frame, std::vector<std::uint8_t>(frame.size(), 0));
}

TEST(CameraModel, UnusableViewsAreRefused) {
    Renderer renderer;
    const double nan = std::nan("");
    const Renderer::Orientation views[] = {{0, 0, 0, nan, 0, 0, 90},
                                           {0, 0, 0, 0, 0, 0, 0},
                                           {0, 0, 0, 0, 0, 0, 200},
                                           {0, 0, 0, 0, HUGE_VAL, 0, 90}};
    for (const Renderer::Orientation& view : views) {
        double a = 0;
        double b = 0;
        EXPECT_EQ(renderer.XYtoHP(kBox, view, kReference, 64, 64, 1, 1, a, b), 0) << view.fov;
    }
}

// Frame point -> heading/pitch -> frame point comes back, for plain and displaced eyes.
TEST(CameraModel, PointConversionsAreInverse) {
    Renderer renderer;
    const Renderer::Orientation eyes[] = {{0, 0, 0, 0, 0, 0, 0}, {300, -200, 50, 0, 0, 0, 0}};
    int checked = 0;
    for (const Renderer::Orientation& eye : eyes) {
        for (double pan = -180; pan < 180; pan += 45) {
            for (double tilt = -90; tilt <= 90; tilt += 30) {
                for (double roll : {0.0, 25.0, -120.0}) {
                    for (double fov : {10.0, 75.0, 150.0}) {
                        Renderer::Orientation view{eye.x, eye.y, eye.z, pan, tilt, roll, fov};
                        for (double x = 0; x <= 640; x += 80) {
                            for (double y = 0; y <= 480; y += 80) {
                                double heading = 0;
                                double pitch = 0;
                                ASSERT_EQ(renderer.XYtoHP(kBox, view, kReference, 640, 480, x, y,
                                                          heading, pitch),
                                          1);
                                double bx = 0;
                                double by = 0;
                                ASSERT_EQ(renderer.HPtoXY(kBox, view, kReference, 640, 480, heading,
                                                          pitch, bx, by),
                                          1);
                                EXPECT_NEAR(bx, x, 1e-6) << pan << " " << tilt << " " << roll;
                                EXPECT_NEAR(by, y, 1e-6) << pan << " " << tilt << " " << roll;
                                ++checked;
                            }
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 10000);
}

TEST(CameraModel, DisplacedEyeKeepsTheWallPointAtTheCentre) {
    Renderer renderer;
    // Halfway to the +y wall the wall looks twice as large and still sits at the centre.
    const Renderer::Orientation near{0, 500, 0, 0, 0, 0, 90};
    const auto view = ViewSetup(kBox, near, kReference, 512);
    ASSERT_TRUE(view.has_value());
    EXPECT_NEAR(view->scale, 512.0, 1e-9);
    double heading = 1;
    double pitch = 1;
    ASSERT_EQ(renderer.XYtoHP(kBox, near, kReference, 512, 256, 256, 128, heading, pitch), 1);
    EXPECT_NEAR(heading, 0.0, 1e-9);
    EXPECT_NEAR(pitch, 0.0, 1e-9);
}

}  // namespace
