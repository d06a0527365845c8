#pragma once
// The link to the trace monitor, the outside program that shows the suite's diagnostic texts.
// The monitor listens on a Unix-domain datagram socket at one fixed per-user path:
// $XDG_RUNTIME_DIR/tracemon.sock, or tracemon-<uid>.sock in the temporary directory ($TMPDIR,
// else /tmp) when XDG_RUNTIME_DIR is not set. Each datagram is one text with its NUL.

#include <span>
#include <string>

namespace platform {

// The socket path in use: the one set by SetTraceMonitorSocketPath, else the per-user default.
// Any thread.
std::string TraceMonitorSocketPath();

// Makes the link use `path` instead of the per-user default (tests bind their own stand-in
// monitor there); an empty path restores the default. Any thread.
void SetTraceMonitorSocketPath(const std::string& path);

// Sends `datagram` (a text and its terminating NUL) to the monitor as one datagram. When nothing
// listens, starts the program "tracemon" through the process's program launcher (WinExec: no
// shell, not waited for; nothing happens when it is not found) and tries once more at once. Returns
// the number of bytes the monitor took, 0 when the text was dropped. A monitor whose queue is full
// gets at most 100 ms to make room, then the text is dropped. Any thread; every failure is silent.
int SendToTraceMonitor(std::span<const char> datagram) noexcept;

}  // namespace platform
