#pragma once
// Where each pixel of an equirectangular panorama looks on a cube of six faces.
//
// Directions: +Z straight ahead (Front), +X to the right, +Y down. Panorama column x runs
// left to right and row y top to bottom; the centre column looks along +Z, the left and right
// edges look backwards, the top row up and the bottom row down. Faces are pictures as seen
// from the cube's centre: the four side faces upright; Top and Bottom the usual views (Front
// along Top's bottom edge and Bottom's top edge) each turned a quarter turn clockwise, so
// Top's left edge borders Front and Bottom's left edge borders Back (the full table is in
// cube_projection.cpp). A face position (u, v) is in that face's own pixels: u from its left
// column (0) to its right column (width - 1), v from its top row (0) to its bottom row; faces
// may differ in size.
//
// Pure arithmetic; an object may be used from any number of threads at once.

#include <array>
#include <span>
#include <vector>

#include "apps/cube_seam/cube_face.h"

struct FaceSize {
    int width = 0;
    int height = 0;
};

struct FacePosition {
    CubeFace face = CubeFace::Front;
    double u = 0;
    double v = 0;
};

class CubeProjection {
  public:
    // A panorama of `width` x `height` pixels (both positive) over faces of the given sizes
    // (in CubeFace order; each at least 1 x 1).
    CubeProjection(int width, int height, const std::array<FaceSize, kCubeFaceCount>& faceSizes);

    // The face that the direction of panorama pixel (x, y) meets and the real position on it.
    // Any x and y (block corners reach x = width and y = height).
    FacePosition PanoramaPixelToFace(int x, int y) const;

    // PanoramaPixelToFace of pixels (x, y) to (x + 15, y), with 0 <= x and x + 15 <= width:
    // exactly the same positions, four at a time where the processor has AVX2.
    void PanoramaRowToFace(int x, int y, std::span<FacePosition, 16> out) const;

    int Width() const { return width_; }
    int Height() const { return height_; }
    const FaceSize& SizeOf(CubeFace face) const { return faceSizes_[static_cast<int>(face)]; }

  private:
    int width_;
    int height_;
    std::array<FaceSize, kCubeFaceCount> faceSizes_;
    // Per column 0..width, what the per-pixel formula computes from x alone: the sine and
    // cosine of the heading and the row tilt xc / width; the same values, computed once.
    std::vector<double> sinHeading_;
    std::vector<double> cosHeading_;
    std::vector<double> tilt_;
};
