#include "engine/viewer/box_projection.h"

#include <algorithm>
#include <cmath>

#include "engine/viewer/view_limits.h"
#include "engine/viewer/view_state.h"

namespace {

// A frame coordinate from a projected one, truncated. A point almost sideways projects
// billions of pixels out; it is held far outside any frame yet inside a range where the
// callers' frame arithmetic (a frame's height less a row) cannot overflow, keeping its side.
int FramePoint(double value) {
    constexpr double kLimit = 1 << 30;
    return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

}  // namespace

bool ProjectViewPoint(const ViewState& state, double x, double y, double z, int* frameX,
                      int* frameY) {
    if (!state.renderer || state.environments.empty())
        return false;
    const Renderer::Orientation view{state.eyeX, state.eyeY, state.eyeZ, state.pan,
                                     state.tilt, state.roll, state.fov};
    const Renderer::Orientation reference{0, 0, 0, 0, 0, 0, 0};
    double heading = 0, pitch = 0;
    PointToHeadingPitch(state.eyeX, state.eyeY, state.eyeZ, x, y, z, &heading, &pitch);
    double px = 0, py = 0;
    if (state.renderer->HPtoXY(
            state.environments[static_cast<std::size_t>(state.currentEnvironment)], view, reference,
            state.viewFrame.width, state.viewFrame.height, heading, pitch, px, py) == 0) {
        return false;
    }
    if (std::isnan(px) || std::isnan(py))
        return false;
    *frameX = FramePoint(px);
    *frameY = FramePoint(py);
    return true;
}

bool ProjectBox(const ViewState& state, const double centre[3], const double size[3], int* x0,
                int* y0, int* x1, int* y1) {
    for (int corner = 0; corner < 8; ++corner) {
        double p[3];
        for (int axis = 0; axis < 3; ++axis) {
            const double half = size[axis] / 2;
            p[axis] = centre[axis] + (((corner >> axis) & 1) ? half : -half);
        }
        int px = 0, py = 0;
        if (!ProjectViewPoint(state, p[0], p[1], p[2], &px, &py))
            return false;
        *x0 = corner == 0 ? px : std::min(*x0, px);
        *x1 = corner == 0 ? px : std::max(*x1, px);
        *y0 = corner == 0 ? py : std::min(*y0, py);
        *y1 = corner == 0 ? py : std::max(*y1, py);
    }
    return true;
}
