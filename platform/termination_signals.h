#pragma once
// Ending a program cleanly on SIGTERM, SIGINT and SIGHUP (a desktop logout, `kill`, Ctrl+C, a
// closed terminal). The signal handler does nothing but what is safe inside one: it writes the
// signal's number into a pipe. The user-interface thread reads it from its event loop (a modal
// dialog's included), runs the program's `closeAll`, which closes its panoramas so that the
// engine removes their extraction folders, and then ends the process by the same signal with
// its default action, so that its parent sees how it ended. Nothing else runs on the way out:
// nothing is saved and nothing is asked. Later termination signals change nothing (a logout
// sends SIGHUP right behind SIGTERM): only SIGKILL ends a program that does not get back to its
// event loop. A signal that the process was started with ignored (nohup) stays ignored.
//
// Built by the Qt backend (platform/qt: the pipe is watched by a QSocketNotifier). Install once,
// on the user-interface thread, after the application object exists; `closeAll` runs on that
// thread. A second call does nothing.

#include <functional>

namespace platform {

void EndOnTerminationSignals(std::function<void()> closeAll);

}  // namespace platform
