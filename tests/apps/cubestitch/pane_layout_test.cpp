#include "apps/cubestitch/pane_layout.h"

#include <gtest/gtest.h>

namespace cubestitch {
namespace {

TEST(PaneLayout, FacesShareTheWidthAndTheBottomTakesTheRest) {
    struct Case {
        int width;
        int height;
        int button;
        int paneWidth;
        int bottomWidth;
    };
    const Case cases[] = {
        {606, 500, 25, 101, 101},  // 606 = 6 x 101
        {605, 500, 25, 100, 105},  // remainder 5 on the Bottom pane
        {768, 640, 25, 128, 128},
        {12, 100, 25, 2, 2},       // 12 % 2 = 0
        {11, 100, 25, 1, 6},       // the row still ends at the right edge
        {5, 100, 25, 0, 5},        // too narrow for six panes: the Bottom pane takes it all
        {0, 0, 25, 0, 0},
        {-40, -10, 25, 0, 0},
    };
    for (const Case& c : cases) {
        const PaneLayout layout = ComputePaneLayout(c.width, c.height, c.button);
        const int paneHeight = c.paneWidth + c.button;
        for (int k = 0; k < kCubeFaceCount; ++k) {
            const PaneRect& face = layout.faces[static_cast<std::size_t>(k)];
            EXPECT_EQ(face.left, k * c.paneWidth) << c.width << " face " << k;
            EXPECT_EQ(face.top, 0);
            EXPECT_EQ(face.height, paneHeight) << c.width;
            EXPECT_EQ(face.width, k == kCubeFaceCount - 1 ? c.bottomWidth : c.paneWidth)
                << c.width << " face " << k;
        }
        const int clientWidth = std::max(c.width, 0);
        EXPECT_EQ(layout.panorama,
                  (PaneRect{0, paneHeight, clientWidth, std::max(std::max(c.height, 0) - paneHeight, 0)}))
            << c.width;
        // The row of faces covers the client width exactly.
        EXPECT_EQ(layout.faces[5].left + layout.faces[5].width, clientWidth) << c.width;
    }
}

}  // namespace
}  // namespace cubestitch
