#pragma once
// The compressor's run: parse the command line (writing the settings it gives), show the
// options dialog when asked, convert the input bitmap into the chosen output, exit.
// The toolkit's application object is made only when something is to be shown (the dialog, a
// message box) and a display is there, so a conversion never needs a display.
// Main thread only.

#include <memory>
#include <string>
#include <vector>

#include "apps/compactor/compactor_messages.h"
#include "apps/compactor/compression_settings.h"

class QApplication;
namespace platform {
class QtBackend;
}

class CCompactorApp {
  public:
    // `programPath` is the program's own path (argv[0]); `args` the arguments after it.
    CCompactorApp(std::string programPath, std::vector<std::string> args);
    ~CCompactorApp();
    CCompactorApp(const CCompactorApp&) = delete;
    CCompactorApp& operator=(const CCompactorApp&) = delete;

    // The exit code of a run whose conversion was asked for and not done.
    static constexpr int kConversionFailed = 1;

    // Does the whole run and returns the process's exit code: 0 when the asked conversion was
    // written (or none was asked for), kConversionFailed when the input could not be opened or
    // the output not written, non-zero too when memory ran out (std::bad_alloc is caught here).
    // Installs the codec bridge first, so codec-compressed input bitmaps decode.
    int InitInstance();

  private:
    int Run();
    // Makes the application object and installs the Qt backend on the first call when there is
    // a display. False (nothing made) without a display.
    bool EnsureGui();
    // A message box, shown on the display when there is one, else on standard error.
    void ShowMessage(std::string_view text);

    std::string programPath_;
    std::vector<std::string> args_;
    int qtArgc_ = 1;
    char* qtArgv_[2] = {nullptr, nullptr};
    std::unique_ptr<QApplication> gui_;
    std::unique_ptr<platform::QtBackend> backend_;
};

// Refuses a stored codec number that names no codec ("Unknown codec in the settings: ...").
// Loads `inputName` (messages "Failed to open " and the name when it cannot), converts it to 24
// bits (message "Failed to convert to 24 bit" when that fails; the run goes on) and writes it to
// `outputName` as the stored settings say. Returns the writer's result: 1 written, 0 not.
int ConvertBitmapFile(const std::string& inputName, const std::string& outputName,
                      const CompressionSettings& settings, const MessageSink& messages);
