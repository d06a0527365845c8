// Compactor's command line: the input is the argument list, one argument per NUL-separated
// piece. The settings it writes land in the target's private configuration folder, which is
// emptied after each input.

#include <filesystem>
#include <string>
#include <vector>

#include "apps/compactor/command_line.h"
#include "apps/compactor/compression_settings.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& home = fuzz::PrepareProcess();
    const std::vector<std::string> args = fuzz::CommandLine(data, size);
    CompressionSettings settings;
    CCompactorCommandLineInfo info(settings);
    ParseCommandLine(args, info);
    settings.ReadCodec();
    settings.ReadQuality();
    settings.ReadThumbnail();
    std::error_code ignored;
    std::filesystem::remove_all(home + "/config", ignored);
    return 0;
}
