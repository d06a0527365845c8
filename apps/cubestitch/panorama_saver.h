#pragma once
// Saving the seamed panorama: the bitmap is written to a temporary bitmap file beside the
// target, and the suite's compressor (`compactor`, found beside this program first, then on
// PATH) turns it into the panorama file at the target. The temporary file is removed
// afterwards, so the target is only ever replaced by a finished panorama: a failed save keeps
// what was there. User-interface thread; blocks while the compressor runs (no time limit).

#include <functional>
#include <string>
#include <vector>

#include "apps/cubestitch/seam_messages.h"
#include "platform/suite_program.h"

class CDIB;

namespace cubestitch {

// Runs the compressor with the arguments given and waits for it.
using CompressorRunner = std::function<platform::SuiteProgramRun(const std::vector<std::string>&)>;

// The real one: platform::RunSuiteProgram("compactor", arguments).
platform::SuiteProgramRun RunCompactor(const std::vector<std::string>& arguments);

enum class SaveOutcome {
    Saved,              // the panorama file is at the target
    WriteFailed,        // the bitmap could not be written, or the target cannot be saved
                        // (nothing was written): "Failed to save file"
    CompressorMissing,  // the compressor could not be started: "Failed to find Compactor.exe"
    CompressionFailed,  // the compressor reported failure (its own message said why):
                        // "Failed to save file"
};

// Saves `panorama` at `target` as described at the top; every outcome but Saved is told to
// the user through `ask` with its message. The bitmap is written in the target's folder under a
// short hidden name (platform::TemporaryPathBeside with ".bmp"), which the next save of the
// target removes should this process end before it could.
SaveOutcome SavePanoramaThroughCompressor(const CDIB& panorama, const std::string& target,
                                          const CompressorRunner& runCompressor,
                                          const AskUser& ask);

}  // namespace cubestitch
