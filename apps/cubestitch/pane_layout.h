#pragma once
// Where the main frame puts its seven panes: the six face panes side by side across the top,
// each a square picture below its caption button, and the panorama pane across the full width
// below them. Pure arithmetic; any thread.

#include <array>

#include "apps/cube_seam/cube_face.h"

namespace cubestitch {

struct PaneRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PaneRect&) const = default;
};

struct PaneLayout {
    std::array<PaneRect, kCubeFaceCount> faces;
    PaneRect panorama;
};

// The layout for a client area of `clientWidth` x `clientHeight` and caption buttons
// `buttonHeight` high. Pane width w = clientWidth / 6 and height w + buttonHeight; the Bottom
// pane is wider by what the six panes leave of the width, so the row always ends at the right
// edge. A client area narrower than six pixels gives face panes of width 0 with the Bottom pane
// taking the whole width. Negative sizes count as 0.
PaneLayout ComputePaneLayout(int clientWidth, int clientHeight, int buttonHeight);

}  // namespace cubestitch
