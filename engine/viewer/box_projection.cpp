#include "engine/viewer/box_projection.h"

#include <algorithm>

#include "engine/viewer/viewer_engine.h"

bool ProjectBox(const ViewerEngine& engine, const double centre[3], const double size[3], int* x0,
                int* y0, int* x1, int* y1) {
    for (int corner = 0; corner < 8; ++corner) {
        double p[3];
        for (int axis = 0; axis < 3; ++axis) {
            const double half = size[axis] / 2;
            p[axis] = centre[axis] + (((corner >> axis) & 1) ? half : -half);
        }
        int px = 0, py = 0;
        if (!engine.ProjectPoint(p[0], p[1], p[2], &px, &py))
            return false;
        *x0 = corner == 0 ? px : std::min(*x0, px);
        *x1 = corner == 0 ? px : std::max(*x1, px);
        *y0 = corner == 0 ? py : std::min(*y0, py);
        *y1 = corner == 0 ? py : std::max(*y1, py);
    }
    return true;
}
