#pragma once
// Waiting for a child process (the compressor that the seamer and the plug-in start) without
// freezing the program's own windows. While the child runs, the waiting thread keeps handling
// what reaches the program's windows: they repaint, answer the desktop (which would otherwise
// offer to end a program that does not answer), and show the frames and take the messages that
// the program posts; user input reaches none of them until the child has ended, and what the
// user did to them meanwhile is then dropped, as a modal dialog of the child would have it.

#include <sys/types.h>

#include <optional>

namespace platform {

// Waits, without a time limit, until `child` (a child process of this one) has ended, and reaps
// it. Returns its wait status as waitpid reports it; nullopt when it cannot be waited for (not
// a child of this process).
//
// With a windowing backend installed, the child is looked at every few milliseconds and
// Backend::PumpHoldingInput runs between the looks, Backend::DropHeldInput after the last.
// With none (an unattended run without a display) the wait is a plain blocking waitpid. Meant
// for the user-interface thread; on another thread the backend's calls do nothing.
std::optional<int> WaitForChildProcess(pid_t child);

}  // namespace platform
