#include "apps/cubestitch/panorama_saver.h"

#include <filesystem>
#include <system_error>

#include "bitmap/cdib.h"
#include "platform/message_box.h"
#include "platform/safe_save.h"

namespace cubestitch {

platform::SuiteProgramRun RunCompactor(const std::vector<std::string>& arguments) {
    return platform::RunSuiteProgram("compactor", arguments);
}

SaveOutcome SavePanoramaThroughCompressor(const CDIB& panorama, const std::string& target,
                                          const CompressorRunner& runCompressor,
                                          const AskUser& ask) {
    // Empty when the target cannot be saved (a device, a FIFO, a file the user may not write).
    const std::string bitmapPath = platform::TemporaryPathBeside(target, ".bmp");
    if (bitmapPath.empty() || panorama.Save(bitmapPath) == 0) {
        ask("Failed to save file", platform::MB_OK);
        return SaveOutcome::WriteFailed;
    }
    const platform::SuiteProgramRun run = runCompressor({bitmapPath, target});
    std::error_code ignored;
    std::filesystem::remove(bitmapPath, ignored);
    if (!run.started) {
        ask("Failed to find Compactor.exe", platform::MB_OK);
        return SaveOutcome::CompressorMissing;
    }
    if (run.exitStatus != 0) {
        ask("Failed to save file", platform::MB_OK);
        return SaveOutcome::CompressionFailed;
    }
    return SaveOutcome::Saved;
}

}  // namespace cubestitch
