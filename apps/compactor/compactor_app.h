#pragma once
// The compressor's run: parse the command line (writing the settings it gives), show the
// options dialog when asked, convert the input bitmap into the chosen output, exit.
// Main thread only.

#include <string>
#include <vector>

#include "apps/compactor/compactor_messages.h"
#include "apps/compactor/compression_settings.h"

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

// Loads `inputName` (messages "Failed to open " and the name when it cannot), converts it to 24
// bits (message "Failed to convert to 24 bit" when that fails; the run goes on) and writes it to
// `outputName` as the stored settings say. Returns the writer's result: 1 written, 0 not.
int ConvertBitmapFile(const std::string& inputName, const std::string& outputName,
                      const CompressionSettings& settings, const MessageSink& messages);

// Whether Qt can show windows here: a display is named (DISPLAY or WAYLAND_DISPLAY) and the
// platform plug-in chosen by QT_QPA_PLATFORM, if any, is not one that shows nothing
// ("offscreen", "minimal").
bool HasDisplay();
