#include "apps/linksmith/hotspot_projection.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/viewer/viewer_engine.h"

namespace {

constexpr int kFrameCell = 32;
const Renderer::Orientation kReference{};

}  // namespace

int RoundUpTo32(int value) {
    return (value + kFrameCell - 1) / kFrameCell * kFrameCell;
}

int RoundToPixel(double value) {
    // A corner almost beside the eye projects billions of pixels out: it is held far outside
    // any window, on its own side.
    constexpr double kLimit = 1 << 30;
    return static_cast<int>(std::clamp(value > 0 ? value + 0.5 : value - 0.5, -kLimit, kLimit));
}

std::optional<ProjectionView> CurrentProjection(ViewerEngine& engine, platform::Size clientSize) {
    ProjectionView view;
    Renderer::Orientation& o = view.viewer;
    if (engine.GetEyePosition(&o.x, &o.y, &o.z) != kEngineDone ||
        engine.GetView(&o.pan, &o.tilt, &o.roll, &o.fov) != kEngineDone) {
        return std::nullopt;
    }
    view.width = RoundUpTo32(clientSize.width);
    view.height = RoundUpTo32(clientSize.height);
    return view;
}

int ProjectHotspot(const Renderer& renderer, const ProjectionView& view, HotspotRecord& record) {
    const std::array<std::array<double, 2>, 4> corners{{
        {record.heading1, record.pitch1},
        {record.heading2, record.pitch2},
        {record.heading1, record.pitch2},
        {record.heading2, record.pitch1},
    }};
    std::array<IntPoint, 2> main{};
    for (std::size_t i = 0; i < corners.size(); ++i) {
        double x = 0;
        double y = 0;
        if (renderer.HPtoXY(view.environment, view.viewer, kReference, view.width, view.height,
                            corners[i][0], corners[i][1], x, y) == 0) {
            return 0;
        }
        if (i < main.size())
            main[i] = IntPoint{RoundToPixel(x), RoundToPixel(y)};
    }
    for (const IntPoint& p : main) {
        if (p.x < 0 || p.x > view.width || p.y < 0 || p.y > view.height)
            return 0;
    }
    const IntPoint low = MinOfPoints(main);
    const IntPoint high = MaxOfPoints(main);
    record.left = low.x;
    record.right = high.x;
    record.top = view.height - high.y;
    record.bottom = view.height - low.y;
    return 1;
}
