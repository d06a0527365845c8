#pragma once

// The drawing half of Renderer::Render: maps the frame to the panorama exactly at the corners of
// 32 x 32-pixel cells, interpolates 16.16 fixed-point source coordinates linearly in between with
// one kernel per pixel format and antialias level, then redraws the neighbourhood of the two
// poles by recursive subdivision.
//
// Threads: one thread at a time. Owned by one Renderer; copyable (a deep copy). The state
// between calls is only the row-offset table and the working arrays, whose contents do not
// affect the next call's result.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/render/camera_model.h"
#include "engine/render/pixel_format.h"

// A 16.16 fixed-point source coordinate: u = column x 65536, v = row x 65536, row 0 the first row
// in memory (pitch -90), relative to the source start chosen by PrepareSource.
struct SourcePoint {
    std::int32_t u = 0;
    std::int32_t v = 0;
};

// One Draw call's arguments. Sizes and pointers are as Renderer::Render describes them.
struct DrawRequest {
    double pan = 0.0;
    double tilt = 0.0;
    double roll = 0.0;
    double scale = 0.0;
    double shiftX = 0.0;
    double shiftY = 0.0;
    int outWidth = 0;
    int outHeight = 0;
    void* outPixels = nullptr;
    int srcWidth = 0;
    int srcHeight = 0;
    const void* srcPixels = nullptr;
    PixelFormatCode format = PixelFormatCode::Bgr24;
    AntialiasLevel antialias = AntialiasLevel::Nearest;
};

class RendererState {
  public:
    RendererState();

    // Fills the frame from the panorama. Returns 1, or 0 with nothing drawn for an unknown format,
    // an antialias level other than 0, 1, 8 with formats 15, 16, 24, or arguments that Render
    // refuses (null buffers, sizes not positive, source sides above 16384, non-finite angles,
    // no positive finite scale). Reads stay inside the source block: image columns wrap around
    // the width within their row and rows are clamped to the image. Writes stay inside the whole
    // cells of the frame.
    int Draw(const DrawRequest& request);

    // Entries in the row-offset table and how often it was rebuilt; for tests of its reuse.
    std::size_t RowOffsetCapacity() const { return rowOffsets_.size(); }
    int RowOffsetRebuilds() const { return rowOffsetRebuilds_; }

  private:
    struct CellCorners {
        SourcePoint nearLeft;
        SourcePoint nearRight;
        SourcePoint farLeft;
        SourcePoint farRight;
    };
    struct CellNodes {
        std::int32_t leftU = 0;
        std::int32_t leftV = 0;
        std::int32_t rightU = 0;
        std::int32_t rightV = 0;
        std::int32_t leftStepU = 0;
        std::int32_t leftStepV = 0;
        std::int32_t rightStepU = 0;
        std::int32_t rightStepV = 0;
    };

    bool Accepts(const DrawRequest& request) const;
    void PrepareSource();
    void PrepareView();
    SourcePoint MapVector(const ScreenVector& v) const;
    SourcePoint MapScreenPoint(int x, int y) const;
    void MapBandEdge();
    void LoadBandNodes();
    void ComputeNodeSteps();

    template <class Format, class Level>
    void DrawCells();
    void DrawIndexed8();
    void Draw555Nearest();
    void Draw555Half();
    void Draw555Bilinear();
    void Draw565Nearest();
    void Draw565Half();
    void Draw565Bilinear();
    void Draw24Nearest();
    void Draw24Half();
    void Draw24Bilinear();

    void PatchPoles();
    template <class Format>
    void SubdivideBlock(int x, int y, int size, int depth, const SourcePoint corners[4]);
    template <class Format>
    void FillBlock(int x, int y, int size, int depth, const SourcePoint corners[4]);

    // The current call.
    double pan_ = 0.0;
    double tilt_ = 0.0;
    double roll_ = 0.0;
    double scale_ = 0.0;
    double shiftX_ = 0.0;
    double shiftY_ = 0.0;
    int outWidth_ = 0;
    int outHeight_ = 0;
    int cellColumns_ = 0;  // whole cells across the frame
    int bands_ = 0;        // whole bands down the frame
    std::uint8_t* outPixels_ = nullptr;
    int srcWidth_ = 0;                         // image width in pixels: 360 degrees of heading
    int srcHeight_ = 0;                        // image rows less one: 180 degrees of pitch
    int srcRowBytes_ = 0;                      // bytes from one row to the next
    const std::uint8_t* srcPixels_ = nullptr;  // the caller's block, never moved
    std::ptrdiff_t srcOrigin_ = 0;  // image column that u = 0 addresses (may be negative)
    PixelFormatCode format_ = PixelFormatCode::Bgr24;

    // The rotated screen basis: the corner of the frame and the steps of one cell.
    ScreenVector edge_;
    ScreenVector columnStep_;
    ScreenVector rowStep_;

    std::vector<SourcePoint> bandEdge_;
    std::vector<CellCorners> cellCorners_;
    std::vector<CellNodes> cellNodes_;

    std::vector<std::int32_t> rowOffsets_;
    int cachedRowBytes_ = 0;
    int rowOffsetRebuilds_ = 0;
};
