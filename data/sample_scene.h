#pragma once
// The synthetic scenes of the sample panoramas: sky and ground, a horizon line, a heading and
// pitch grid, marked poles, compass letters and bearings, and the marks of the hotspots.

#include <string>

#include "data/sphere_canvas.h"

struct SceneColours {
    Rgb skyHorizon;
    Rgb skyZenith;
    Rgb groundHorizon;
    Rgb groundNadir;
};

// A hotspot of a sample: a heading and pitch rectangle, its action text and its painted mark.
struct SampleHotspot {
    float heading1;
    float pitch1;
    float heading2;
    float pitch2;
    std::string action;
    std::string label;
    Rgb colour;
};

// Sky and ground gradients with a tiled ground, grid lines every 30 degrees of heading and 15
// of pitch, a white horizon, red and white sectors round the zenith, black and yellow round
// the nadir. The heading lines leave out the band of the compass text (PaintCompass), so that
// no line runs through a letter or a bearing.
void PaintSphere(SphereCanvas& canvas, const SceneColours& colours);

// N, E, S and W at their headings above the horizon (N at heading 0, E at -90, as headings grow
// to the left), and the compass bearing every 30 degrees below it.
void PaintCompass(SphereCanvas& canvas);

// The hotspot's rectangle, bordered, with its label.
void PaintHotspot(SphereCanvas& canvas, const SampleHotspot& hotspot);
