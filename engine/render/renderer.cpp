#include "engine/render/renderer.h"

#include <optional>

#include "engine/render/camera_model.h"
#include "engine/render/renderer_state.h"
#include "engine/render/view_setup.h"

Renderer::Renderer() : state_(std::make_unique<RendererState>()) {}

Renderer::~Renderer() = default;

Renderer::Renderer(const Renderer& other)
    : state_(std::make_unique<RendererState>(*other.state_)) {}

Renderer& Renderer::operator=(const Renderer& other) {
    if (this != &other) {
        *state_ = *other.state_;
    }
    return *this;
}

int Renderer::Render(const Environment& environment, const Orientation& viewer,
                     const Orientation& reference, int outWidth, int outHeight, void* outPixels,
                     int srcWidth, int srcHeight, const void* srcPixels, PixelFormatCode format,
                     int /*unused*/, AntialiasLevel antialias) {
    const std::optional<ViewGeometry> view = ViewSetup(environment, viewer, reference, outWidth);
    if (!view) {
        return 0;
    }
    DrawRequest request;
    request.pan = viewer.pan;
    request.tilt = viewer.tilt;
    request.roll = viewer.roll;
    request.scale = view->scale;
    request.shiftX = view->shiftX;
    request.shiftY = view->shiftY;
    request.outWidth = outWidth;
    request.outHeight = outHeight;
    request.outPixels = outPixels;
    request.srcWidth = srcWidth;
    request.srcHeight = srcHeight;
    request.srcPixels = srcPixels;
    request.format = format;
    request.antialias = antialias;
    return state_->Draw(request);
}

int Renderer::XYtoHP(const Environment& environment, const Orientation& viewer,
                     const Orientation& reference, int outWidth, int outHeight, double x, double y,
                     double& heading, double& pitch) const {
    const std::optional<ViewGeometry> view = ViewSetup(environment, viewer, reference, outWidth);
    if (!view) {
        return 0;
    }
    const HeadingPitch seen =
        ScreenToHeadingPitch(viewer.pan, viewer.tilt, viewer.roll, view->scale, view->shiftX,
                             view->shiftY, x - outWidth / 2, y - outHeight / 2);
    heading = seen.heading;
    pitch = seen.pitch;
    return 1;
}

int Renderer::HPtoXY(const Environment& environment, const Orientation& viewer,
                     const Orientation& reference, int outWidth, int outHeight, double heading,
                     double pitch, double& x, double& y) const {
    const std::optional<ViewGeometry> view = ViewSetup(environment, viewer, reference, outWidth);
    if (!view) {
        return 0;
    }
    ScreenPoint point;
    if (!ProjectHeadingPitch(viewer.pan, viewer.tilt, viewer.roll, view->scale, view->shiftX,
                             view->shiftY, heading, pitch, point)) {
        return 0;
    }
    x = outWidth / 2 + point.x;
    y = outHeight / 2 + point.y;
    return 1;
}
