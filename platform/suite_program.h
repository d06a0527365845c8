#pragma once
// Starting another program of the suite and waiting for it, as the seamer and the plug-in do
// with the compressor. The program is looked for in the folder of the running executable first
// (an installation puts every program in one bin folder; the build tree's programs are found
// through PATH), then along PATH. It is started without a shell, with its arguments as a
// vector, so names with blanks or shell characters reach it as they are.
//
// Threads: any thread; the wait lasts until the child ends, without a time limit. On the
// user-interface thread of a program with windows the wait keeps them repainting and answering
// the desktop while user input to them is held off (platform/program_wait.h).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct SuiteProgramRun {
    bool started = false;  // false: not found, or found but could not be started
    // The child's exit status when it ended normally; 128 + the signal number when a signal
    // ended it; -1 when it did not start.
    int exitStatus = -1;

    bool Succeeded() const { return started && exitStatus == 0; }
};

// The folder that holds the running executable; empty when it cannot be told.
std::string RunningProgramFolder();

// Finds the executable file `name` in `besideFolder` (when not empty), then in each folder of
// `searchPath` (a colon-separated list; empty entries are skipped). A name holding a "/" is
// never looked up. Nullopt when no executable regular file is found.
std::optional<std::string> FindProgramBesideOrOnPath(std::string_view name,
                                                     const std::string& besideFolder,
                                                     const std::string& searchPath);

// FindProgramBesideOrOnPath with the running program's folder and the PATH variable.
std::optional<std::string> FindSuiteProgram(std::string_view name);

// Starts the executable at `path` with `arguments` (argv[1...]; argv[0] is `path`) and waits
// for it to end (platform::WaitForChildProcess).
SuiteProgramRun RunProgramAndWait(const std::string& path, const std::vector<std::string>& arguments);

// Finds `name` (FindSuiteProgram) and runs it with RunProgramAndWait; not started when it is
// not found.
SuiteProgramRun RunSuiteProgram(std::string_view name, const std::vector<std::string>& arguments);

}  // namespace platform
