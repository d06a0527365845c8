#pragma once

// Renderer: draws the perspective view of a full-sphere panorama that an eye sees for a heading,
// pitch, roll and field of view, and converts between frame points and heading/pitch.
//
// Threads: not thread-safe. One thread at a time may call a Renderer (the engine calls it under
// its state lock). Distinct Renderers are independent.
//
// Copying: a copy (construction or assignment) is a deep copy; every Renderer owns its own
// working state and nothing is shared.
//
// Frame points (X, Y) count columns from the left and rows in buffer order: frames are stored
// bottom-up, so Y = 0 is the bottom row and Y grows with pitch.

#include <memory>

#include "engine/render/pixel_format.h"
#include "platform/picture_limits.h"

class RendererState;

class Renderer {
  public:
    // The box around the eye whose walls carry the panorama. The engine uses -1000..1000 on
    // every axis.
    struct Environment {
        double xMin = 0.0;
        double xMax = 0.0;
        double yMin = 0.0;
        double yMax = 0.0;
        double zMin = 0.0;
        double zMax = 0.0;
    };

    // An eye position and a view: heading (pan), pitch (tilt), roll and horizontal field of view
    // across the frame width, all in degrees. As the reference orientation only x, y, z are
    // read: the point the panorama was taken from.
    struct Orientation {
        double x = 0.0;
        double y = 0.0;
        double z = 0.0;
        double pan = 0.0;
        double tilt = 0.0;
        double roll = 0.0;
        double fov = 0.0;
    };

    Renderer();
    ~Renderer();
    Renderer(const Renderer& other);
    Renderer& operator=(const Renderer& other);

    // Renders the view into `outPixels`: `outHeight` rows of `outWidth` pixels, bottom-up, packed
    // end to end. Whole 32 x 32 cells are drawn: the columns right of the last whole cell and the
    // rows above the last whole band are left as they were (the engine sizes frames to
    // multiples of 32).
    //
    // The source is the panorama image in the same `format`, laid out as a bitmap's pixels:
    // `srcHeight` rows, the first row in memory at pitch -90 and the last at +90, each row
    // `srcWidth` pixels covering 360 degrees of heading (the middle column at heading 0) padded
    // to a whole number of 4-byte words. The caller supplies exactly that block,
    // srcHeight x ((srcWidth x bytes-per-pixel + 3) / 4 x 4) bytes readable from `srcPixels`.
    // Every read stays inside it whatever the view: columns wrap around the width within their
    // row and rows are clamped, so no guard rows or columns are needed around it.
    //
    // Returns 1 when drawn, 0 when nothing was drawn: a format other than 8, 15, 16, 24; an
    // antialias level other than 0, 1, 8 for formats 15, 16, 24; a null buffer; a frame or source
    // size that is not positive; a source side above kMaxSourceSide; an angle or position that is
    // not finite; a field of view that gives no positive focal scale; or a view ray that misses
    // the environment box. The `unused` argument is not read.
    int Render(const Environment& environment, const Orientation& viewer,
               const Orientation& reference, int outWidth, int outHeight, void* outPixels,
               int srcWidth, int srcHeight, const void* srcPixels, PixelFormatCode format,
               int unused, AntialiasLevel antialias);

    // The heading and pitch (degrees) seen at frame point (x, y). Returns 1, or 0 (outputs
    // unchanged) when the view ray misses the environment box or the view cannot be set up.
    int XYtoHP(const Environment& environment, const Orientation& viewer,
               const Orientation& reference, int outWidth, int outHeight, double x, double y,
               double& heading, double& pitch) const;

    // The frame point at which heading/pitch (degrees) is drawn. Returns 1, or 0 when the point
    // is behind the eye, the view ray misses the box or the view cannot be set up; with 0 the
    // outputs carry no meaning.
    int HPtoXY(const Environment& environment, const Orientation& viewer,
               const Orientation& reference, int outWidth, int outHeight, double heading,
               double pitch, double& x, double& y) const;

    // The largest source width or height `Render` accepts: the 16.16 fixed-point source
    // coordinates of larger images would overflow. A panorama's picture is held to this limit
    // when it loads (platform/picture_limits.h), so that none that loads is one it refuses.
    static constexpr int kMaxSourceSide = static_cast<int>(platform::kMaxPictureSide);

  private:
    std::unique_ptr<RendererState> state_;
};
