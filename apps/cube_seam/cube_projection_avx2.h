#pragma once
// CubeProjection's row of pixels four at a time, built apart with AVX2 code generation. Call
// only where the processor supports AVX2.

#include "apps/cube_seam/cube_projection.h"

// What the per-pixel formula takes for the pixels of one row from column x on.
struct ProjectionRow {
    const double* sinHeading;  // of column x, x + 1, ...
    const double* cosHeading;
    const double* tilt;
    double rowFromCentre;  // y - height / 2
    double pi;
    double height;
    const FaceSize* faceSizes;  // in CubeFace order
};

// Fills out[0..15] with exactly what CubeProjection::PanoramaPixelToFace gives.
void ProjectRowAvx2(const ProjectionRow& row, FacePosition* out);
