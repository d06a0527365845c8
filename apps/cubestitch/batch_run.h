#pragma once
// The unattended run of Cubestitch's command line: load each named face into its pane, bring it
// to 24 bits and replay its flags as the pane's edit commands; with all seven names, seam, save
// the panorama through the compressor at the output name and report whether it was written.
// The frame's title reads "Loading " and the face's name while a face loads, and returns to
// what it was at the end. User-interface thread only.

#include "apps/cubestitch/seam_command_line.h"

namespace cubestitch {

class CSeamFrame;

enum class BatchResult {
    NothingNamed,   // no name: the program starts as usual
    FacesLoaded,    // one to six names, all loaded: the program stays open for the user
    FaceFailed,     // a face could not be loaded or converted (its message named it)
    SeamFailed,     // the seam did not finish (refused, failed); nothing was written
    SaveFailed,     // the panorama could not be written or compressed
    Written,        // the panorama file was written at the output name
    TooManyNames,   // an eighth name: refused with a message, nothing done
};

// Runs the batch described by `info` on `frame`; the operation lists of the faces are emptied
// as they are replayed. Messages go to the frame's services.
BatchResult RunBatch(CSeamFrame& frame, CSeamCommandLineInfo& info);

// The process's exit status for a batch result: 0 for NothingNamed, FacesLoaded and Written,
// else 1.
int ExitStatusOf(BatchResult result);

}  // namespace cubestitch
