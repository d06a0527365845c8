#pragma once
// The block loop that fills an equirectangular panorama from six 24-bit cube faces.
//
// The panorama is filled in 16 x 16 blocks, top row of blocks first. A block whose four
// corners fall on one face, each more than 2 face pixels inside its edges, is filled by the
// bitmap's fixed-point block warp from its corners alone; every other block is filled pixel
// by pixel with a bilinear sample at that pixel's own face position (CubeProjection).
//
// Threads: runs on the calling thread. The faces are only read (other threads may read them
// too); nobody else may touch the panorama until the call returns.

#include <array>
#include <functional>

#include "apps/cube_seam/cube_face.h"
#include "bitmap/cdib.h"

// The six faces in CubeFace order; the caller keeps them alive for the call.
using CubeFaceSet = std::array<const CDIB*, kCubeFaceCount>;

enum class AssemblyStatus { Done, Refused, Cancelled };

struct AssemblyOutcome {
    AssemblyStatus status = AssemblyStatus::Refused;
    // Whether any block of the panorama was written (also when cancelled).
    bool pixelsWritten = false;
};

// What the loop reports and asks between blocks; both may be empty. They run on the
// assembling thread.
struct AssemblyHooks {
    // Before each block row, with 100 x row / panorama height (integer division).
    std::function<void(int position)> rowStarted;
    // Before each block: true stops the loop (Cancelled; the blocks written stay).
    std::function<bool()> stop;
};

// True for a face the loop can read: a non-empty 24-bit bitmap.
bool IsSeamableFace(const CDIB& face);

// Fills the whole of `panorama`. Refused, with nothing written, unless every face is seamable
// and the panorama is a 24-bit bitmap whose width and height are multiples of 16.
AssemblyOutcome FillCubePanorama(const CubeFaceSet& faces, CDIB& panorama,
                                 const AssemblyHooks& hooks = {});

// The same loop with no hooks: 1 when the panorama was filled, 0 (nothing written) when it
// was refused.
int AssembleCubePanorama(const CDIB& left, const CDIB& front, const CDIB& right,
                         const CDIB& back, const CDIB& top, const CDIB& bottom, CDIB& panorama);
