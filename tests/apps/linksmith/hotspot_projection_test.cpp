// Placing the editor's hotspots on the window: rounding, and which hotspots are on screen.

#include <gtest/gtest.h>

#include "apps/linksmith/hotspot_projection.h"

namespace {

TEST(HotspotProjection, RoundsSizesAndPixelsAsTheWindowNeeds) {
    const std::pair<int, int> sizes[] = {{500, 512}, {250, 256}, {512, 512}, {1, 32}, {0, 0}};
    for (const auto& [in, out] : sizes)
        EXPECT_EQ(RoundUpTo32(in), out) << in;
    // A corner 90 degrees to the side projects to about 5.9e18 and keeps its side.
    const std::pair<double, int> pixels[] = {
        {2.5, 3}, {2.49, 2},         {-2.5, -3},           {-2.49, -2},
        {0, 0},   {5.9e18, 1 << 30}, {-5.9e18, -(1 << 30)}};
    for (const auto& [in, out] : pixels)
        EXPECT_EQ(RoundToPixel(in), out) << in;
}

TEST(HotspotProjection, OnlyHotspotsWhollyInFrontAndInsideAreOnScreen) {
    const Renderer renderer;
    struct Case {
        const char* what;
        double pan;
        HotspotRecord record;
        bool onScreen;
    };
    const Case cases[] = {
        {"centred", 0, {10, -10, 10, -10, 0, 0, 0, 0, ""}, true},
        {"drawn from the other corner", 0, {-10, 10, -10, 10, 0, 0, 0, 0, ""}, true},
        {"across the heading seam", 180, {-170, 170, 10, -10, 0, 0, 0, 0, ""}, true},
        {"behind the viewer", 0, {-170, 170, 10, -10, 0, 0, 0, 0, ""}, false},
        {"one corner beyond the left edge", 0, {50, -10, 10, -10, 0, 0, 0, 0, ""}, false},
        {"one corner below the frame", 0, {10, -10, 10, -60, 0, 0, 0, 0, ""}, false},
    };
    for (const Case& c : cases) {
        ProjectionView view;
        view.viewer = {0, 0, 0, c.pan, 0, 0, 60};
        view.width = 512;
        view.height = 256;
        HotspotRecord record = c.record;
        record.left = record.top = record.right = record.bottom = -7;
        ASSERT_EQ(ProjectHotspot(renderer, view, record), c.onScreen ? 1 : 0) << c.what;
        if (!c.onScreen) {
            EXPECT_EQ(record.left, -7) << c.what;
            EXPECT_EQ(record.bottom, -7) << c.what;
            continue;
        }
        // A symmetric hotspot around the view's centre gives a rectangle around the window's.
        EXPECT_LT(record.left, 256) << c.what;
        EXPECT_GT(record.right, 256) << c.what;
        EXPECT_LT(record.top, 128) << c.what;
        EXPECT_GT(record.bottom, 128) << c.what;
        EXPECT_NEAR(record.left + record.right, 512, 2) << c.what;
        EXPECT_NEAR(record.top + record.bottom, 256, 2) << c.what;
    }
}

}  // namespace
