#include "apps/cubestitch/pane_layout.h"

#include <algorithm>

namespace cubestitch {

PaneLayout ComputePaneLayout(int clientWidth, int clientHeight, int buttonHeight) {
    const int cx = std::max(clientWidth, 0);
    const int cy = std::max(clientHeight, 0);
    const int w = cx / kCubeFaceCount;
    const int h = w + std::max(buttonHeight, 0);
    // What the six panes leave of the width (less than six pixels); with no room for six
    // panes that is the whole width.
    const int remainder = cx - kCubeFaceCount * w;

    PaneLayout layout;
    for (int k = 0; k < kCubeFaceCount; ++k) {
        const bool last = k == kCubeFaceCount - 1;
        layout.faces[static_cast<std::size_t>(k)] = {k * w, 0, last ? w + remainder : w, h};
    }
    layout.panorama = {0, h, cx, std::max(cy - h, 0)};
    return layout;
}

}  // namespace cubestitch
