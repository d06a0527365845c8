#pragma once
// The compressor's run: parse the command line (writing the settings it gives), show the
// options dialog when asked, convert the input bitmap into the chosen output, exit.
// Main thread only.

#include <string>
#include <vector>

class CCompactorApp {
public:
    // `programPath` is the program's own path (argv[0]); `args` the arguments after it.
    CCompactorApp(std::string programPath, std::vector<std::string> args);

    // Does the whole run and returns the process's exit code: 0 (the code carries nothing),
    // or non-zero when memory ran out (std::bad_alloc is caught here).
    int InitInstance();

private:
    int Run();

    std::string programPath_;
    std::vector<std::string> args_;
};

// Whether Qt can show windows here: a display is named (DISPLAY or WAYLAND_DISPLAY) and the
// platform plug-in chosen by QT_QPA_PLATFORM, if any, is not one that shows nothing
// ("offscreen", "minimal").
bool HasDisplay();
