#pragma once
// One seam as the seamer runs it: six faces into the panorama bitmap on a worker thread while
// the user-interface thread shows the progress.
//
// RunSeam is called on the user-interface thread and returns only when the worker has ended
// (it is joined, also after a cancel), so no seam can start while another still runs. The
// worker only reads the faces (the caller must not change them during the call) and writes
// the panorama in a bitmap that nobody else sees until it is handed back at the end. Every
// message box is shown on the user-interface thread, before the worker starts.

#include <string>

#include "apps/cube_seam/cube_assembly.h"
#include "apps/cube_seam/seam_progress.h"
#include "apps/cube_seam/seam_settings.h"
#include "bitmap/cdib.h"

struct SeamRequest {
    CubeFaceSet faces{};  // in CubeFace order; any depth the bitmap class can convert to 24
    SeamSize size;        // normally ReadSeamSize of the program's settings
    bool batch = false;   // an unattended run: the user cannot cancel
    std::string caption;  // caption of the message boxes
};

struct SeamResult {
    // The panorama was filled to its end.
    bool completed = false;
    // Pixels of the panorama were written (completed, or cancelled after some blocks): the
    // program has unsaved changes.
    bool pixelsWritten = false;
};

// Above this many pixels the user is asked before the seam goes on.
inline constexpr long long kLargePanoramaPixels = 8'000'000;

// Seams `request.faces` into `panorama`. A panorama that already has the size is reused and
// every pixel rewritten; otherwise it is re-created at 24 bits. Refusals, each with its
// message box and the panorama untouched: a size that is not valid, a large size the user
// does not confirm ("%d by %d is a very large panorama\nand this program may become
// unresponsive."), a face that is empty or cannot be brought to 24 bits, and a panorama that
// cannot be created ("Error Creating Bitmap", the panorama then empty). A cancelled seam
// leaves the blocks written so far.
SeamResult RunSeam(const SeamRequest& request, CDIB& panorama, SeamProgress& progress);
