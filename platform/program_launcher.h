#pragma once
// Starting programs and opening documents: `WinExec` runs a command line (program and
// arguments, never through a shell); `ShellExecute` "open" hands a document to the desktop's
// opener. Both go through the process's launcher, which tests replace with a recording one.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/guarded.h"

namespace platform {

// Show states that callers pass; the launcher receives them as a hint only.
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimized = 2;
inline constexpr int kShowMaximized = 3;

struct LaunchRequest {
    std::string program;  // a path that exists, as resolved by WinExec
    std::vector<std::string> arguments;
    int showState = kShowNormal;
};

class ProgramLauncher {
  public:
    virtual ~ProgramLauncher() = default;
    // Starts the program without waiting for it. False when it could not be started.
    virtual bool Launch(const LaunchRequest& request) = 0;
    // Hands `target` (a path or an address) to the desktop's opener. False when there is no
    // opener or it reports that nothing can open the target.
    virtual bool Open(const std::string& target, int showState) = 0;
};

// The real launcher: posix_spawn with an argument vector; children are reaped in the
// background. The opener is "xdg-open", waited for at most a few seconds for its verdict.
class SpawningLauncher final : public ProgramLauncher {
  public:
    bool Launch(const LaunchRequest& request) override;
    bool Open(const std::string& target, int showState) override;
};

// Records requests instead of running them; results are the test's choice (default success).
class RecordingLauncher final : public ProgramLauncher {
  public:
    bool Launch(const LaunchRequest& request) override;
    bool Open(const std::string& target, int showState) override;
    // One line per request: "run PROGRAM [ARG...] show N" or "open TARGET show N".
    std::vector<std::string> Log() const;
    void ClearLog();
    bool launchResult = true;
    bool openResult = true;

  private:
    Guarded<std::vector<std::string>> log_;
};

// Replaces the process's launcher, returning the previous one (the spawning launcher is used
// until one is installed).
std::shared_ptr<ProgramLauncher> InstallProgramLauncher(std::shared_ptr<ProgramLauncher> launcher);

// Splits a command line into words at blanks; double quotes group a word with blanks.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// Finds the program a command line names: a name with a "/" as it stands, else in the current
// directory, then along PATH; a name ending in ".exe" (any case) that is not found is looked up
// again without the extension. Nullopt when nothing executable is found.
std::optional<std::string> ResolveProgram(const std::string& name);

// Starts the program a request names (a path found beforehand) through the process's launcher,
// without a shell. Result as WinExec's: above 31 when it started, 11 when it could not be.
// Any thread.
int StartProgram(const LaunchRequest& request);

// Runs `commandLine`. Result above 31 when the program started; 2 when it was not found; 11
// when it was found but could not be started. Any thread.
int WinExec(const std::string& commandLine, int showState);

// Hands `address` (a file:// or web address) to the desktop's opener through the process's
// launcher, waiting for its verdict as ProgramLauncher::Open does. True when the opener took it.
// Any thread.
bool OpenAddress(const std::string& address, int showState = kShowNormal);

// Opens `file` (relative to `directory` when that is given and the file is not absolute) with
// the desktop's opener; only the "open" verb is known. Result above 32 when handed over; 2 when
// the file does not exist; 31 when no application opens it or the verb is unknown. Any thread.
int ShellExecute(const std::string& verb, const std::string& file, const std::string& directory,
                 int showState);

}  // namespace platform
