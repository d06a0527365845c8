#pragma once

// The prologue shared by the renderer's operations: the focal scale and view shift of a view.

#include <optional>

#include "engine/render/renderer.h"

struct ViewGeometry {
    double scale = 0.0;   // focal scale in pixels
    double shiftX = 0.0;  // view shift added to screen vectors before rotation
    double shiftY = 0.0;
};

// Computes the focal scale for the frame width and field of view, scaled by how much nearer the
// eye is than the reference point to the wall the view ray hits, and the view shift that keeps
// that wall point at the frame centre. Returns nullopt when the view ray misses the box, when the
// inputs are not finite, or when the result gives no positive finite scale. Any thread.
std::optional<ViewGeometry> ViewSetup(const Renderer::Environment& environment,
                                      const Renderer::Orientation& viewer,
                                      const Renderer::Orientation& reference, int outWidth);
