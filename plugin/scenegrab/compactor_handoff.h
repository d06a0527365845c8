#pragma once
// The hand-off to Compactor: the program `compactor` found beside the host program, else on
// PATH, started without a shell and waited for without a time limit; with a display the
// host's windows go on repainting meanwhile while their input is held off
// (platform/program_wait.h). Both runs pass "-registry Tavrin", so Compactor keeps its
// settings for the plug-in apart from its own. Host thread only.

#include <functional>
#include <string>
#include <vector>

#include "platform/suite_program.h"

namespace scenegrab {

enum class CompactorResult { Compressed, NotStarted, Failed };

// Compactor turning the bitmap file `bitmapFile` into the panorama file `panoramaFile` (the
// two-path form: Compactor replaces `panoramaFile` only by a whole new panorama). Compressed
// when Compactor ended with status 0. NotStarted (not found, or it could not start) and Failed
// (a non-zero status, or a signal ended it) both show "Unable to compress panorama.".
CompactorResult RunCompactor(const std::string& bitmapFile, const std::string& panoramaFile);

// Compactor's options dialog; "Unable to open compression dialog." when it cannot start.
void OpenCompressionOptions();

// Runs Compactor with its argument vector and waits for it. The default finds and starts the
// program (platform::RunSuiteProgram); a harness that must start nothing puts its own in.
using CompactorRunner =
    std::function<platform::SuiteProgramRun(const std::vector<std::string>& arguments)>;
// Replaces the runner (empty: the default) and returns the previous one.
CompactorRunner SetCompactorRunner(CompactorRunner runner);

}  // namespace scenegrab
