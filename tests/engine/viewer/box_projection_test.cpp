// Where points around the eye land in the frame, out to the directions beside the eye.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/viewer/box_projection.h"
#include "engine/viewer/view_state.h"

namespace {

// Headings grow to the left: the point at heading h lies at (-sin h, cos h, 0) x 10.
TEST(BoxProjection, PointsBesideTheEyeStayOnTheirSide) {
    constexpr double kDeg = 3.14159265358979323846 / 180;
    const struct {
        double heading;
        int side;  // -1 left of the frame, 0 inside it, 1 right of it
    } cases[] = {{0, 0}, {60, -1}, {-60, 1}, {89.999, -1}, {-89.999, 1}, {90, -1}, {-90, 1}};
    // Looking at heading 0, pitch 0 into a 100 x 80 frame with a 60-degree field of view.
    ViewState state;
    state.renderer = std::make_unique<Renderer>();
    state.environments.assign(1, Renderer::Environment{-1000, 1000, -1000, 1000, -1000, 1000});
    state.viewFrame.width = 100;
    state.viewFrame.height = 80;
    state.fov = 60;
    for (const auto& c : cases) {
        const double x = -std::sin(c.heading * kDeg) * 10, y = std::cos(c.heading * kDeg) * 10;
        int frameX = 0, frameY = 0;
        ASSERT_TRUE(ProjectViewPoint(state, x, y, 0, &frameX, &frameY)) << c.heading;
        const int side = frameX < 0 ? -1 : frameX >= 100 ? 1 : 0;
        EXPECT_EQ(side, c.side) << "heading " << c.heading << " at x " << frameX;
        EXPECT_EQ(frameY, 40) << c.heading;
    }
}

}  // namespace
