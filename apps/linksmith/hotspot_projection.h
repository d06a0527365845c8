#pragma once
// How the hotspot editor places its hotspots on the live view: the projection inputs shared by
// drawing, hit-testing and drawing new hotspots, and the projection of one record. The frame's
// own Renderer does the arithmetic; the engine's hotspots play no part. UI thread (the
// Renderer passed in is the caller's and not shared with another thread).

#include <optional>

#include "apps/linksmith/hotspot_record.h"
#include "engine/render/renderer.h"
#include "platform/geometry.h"

class ViewerEngine;

// The fixed inputs of a projection: a unit box around the eye, the engine's eye position and
// current view, and the client size, each side rounded up to a multiple of 32. The renderer's
// y axis runs upward: window y = height - renderer y.
struct ProjectionView {
    Renderer::Environment environment{-1, 1, -1, 1, -1, 1};
    Renderer::Orientation viewer;
    int width = 0;
    int height = 0;
};

// `value` rounded up to the next multiple of 32 (unchanged when it is one already).
int RoundUpTo32(int value);
// A renderer coordinate to a pixel: a half goes away from zero; held to +-2^30.
int RoundToPixel(double value);

// The inputs for the engine's present view over a client area of `clientSize`; nullopt when
// the engine has nothing loaded. Takes the engine's state lock for each of its two queries.
std::optional<ProjectionView> CurrentProjection(ViewerEngine& engine, platform::Size clientSize);

// Sets the record's window rectangle and gives 1 when both main corners (heading1, pitch1) and
// (heading2, pitch2) land inside the frame (0..width, 0..height, edges included) and all four
// corners are in front of the eye; else 0 with the record untouched.
int ProjectHotspot(const Renderer& renderer, const ProjectionView& view, HotspotRecord& record);
