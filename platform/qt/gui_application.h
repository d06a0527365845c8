#pragma once
// Making a program's QApplication where no window may be possible. Qt ends a process whose
// window system it cannot reach with SIGABRT and a hint about reinstalling; the programs end
// instead with one line on standard error, "<program>: cannot open a window: <reason>", and
// exit status 1.
//
// Threads: the main thread, before any other Qt object exists.

#include <QApplication>

#include <memory>
#include <string_view>

namespace platform {

// The program's application object. `argc` and `argv` are handed to QApplication and must
// outlive it. When no window system is named (no DISPLAY, no WAYLAND_DISPLAY and no
// QT_QPA_PLATFORM) the reason is "no display"; when Qt's platform plug-in cannot start it is
// "cannot connect to display <name>" (or to the platform QT_QPA_PLATFORM names). Either way the
// process ends there, with status 1. Qt's messages while the application is made are held
// back until it exists, so a failure prints the one line only.
std::unique_ptr<QApplication> OpenGuiApplication(int& argc, char** argv, std::string_view program);

}  // namespace platform
