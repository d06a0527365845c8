#pragma once
// The hand-off to Compactor: the program `compactor` found beside the host program, else on
// PATH, started without a shell and waited for without a time limit. Both runs pass
// "-registry Tavrin", so Compactor keeps its settings for the plug-in apart from its own.
// Host thread only (the wait blocks it).

#include <functional>
#include <string>
#include <vector>

#include "platform/suite_program.h"

namespace scenegrab {

enum class CompactorResult { Compressed, NotStarted, Failed };

// Compactor with `panoramaFile` as input and output, so the bitmap there is replaced by a
// panorama file. NotStarted shows "Unable to compress panorama." (the bitmap stays); Failed
// is a Compactor that ran and ended with a non-zero status (it has shown its own message).
CompactorResult RunCompactor(const std::string& panoramaFile);

// Compactor's options dialog; "Unable to open compression dialog." when it cannot start.
void OpenCompressionOptions();

// Runs Compactor with its argument vector and waits for it. The default finds and starts the
// program (platform::RunSuiteProgram); a harness that must start nothing puts its own in.
using CompactorRunner =
    std::function<platform::SuiteProgramRun(const std::vector<std::string>& arguments)>;
// Replaces the runner (empty: the default) and returns the previous one.
CompactorRunner SetCompactorRunner(CompactorRunner runner);

}  // namespace scenegrab
