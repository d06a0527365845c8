#include "plugin/scenegrab_host/host_command_line.h"

#include <charconv>
#include <filesystem>

namespace scenegrab_host {

namespace {

bool ParseInt(const std::string& text, int* value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, *value);
    return ec == std::errc() && ptr == end;
}

}  // namespace

std::optional<HostCommandLine> ParseHostCommandLine(const std::vector<std::string>& args,
                                                    std::string* error) {
    HostCommandLine line;
    std::vector<std::string> outputs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            outputs.push_back(arg);
            continue;
        }
        if (i + 1 >= args.size()) {
            *error = arg + " needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        int* number = nullptr;
        if (arg == "-first")
            number = &line.settings.firstFrame;
        else if (arg == "-last")
            number = &line.settings.lastFrame;
        else if (arg == "-size")
            number = &line.settings.faceSize;
        else if (arg == "-plugin")
            line.pluginPath = value;
        else {
            *error = "unknown switch " + arg;
            return std::nullopt;
        }
        if (number != nullptr && !ParseInt(value, number)) {
            *error = arg + " needs a whole number, not " + value;
            return std::nullopt;
        }
    }
    if (outputs.size() != 1) {
        *error = outputs.empty() ? "no output file named" : "more than one output file named";
        return std::nullopt;
    }
    if (line.settings.faceSize < 1 || line.settings.faceSize > 8192) {
        *error = "the size must lie between 1 and 8192";
        return std::nullopt;
    }
    if (line.settings.firstFrame < 1 || line.settings.lastFrame < 1) {
        *error = "frame numbers start at 1";
        return std::nullopt;
    }
    if (line.settings.lastFrame < line.settings.firstFrame) {
        *error = "the last frame lies before the first";
        return std::nullopt;
    }
    line.settings.outputFile = outputs.front();
    return line;
}

std::string FindPluginModule(const std::string& requested, const std::string& hostProgram) {
    if (!requested.empty())
        return requested;
    const std::filesystem::path folder = std::filesystem::path(hostProgram).parent_path();
    const std::filesystem::path beside = folder / "scenegrab.so";
    const std::filesystem::path installed =
        folder / ".." / "lib" / "halvex" / "plugins" / "scenegrab.so";
    std::error_code ec;
    if (!std::filesystem::exists(beside, ec) && std::filesystem::exists(installed, ec))
        return installed.string();
    return beside.string();
}

}  // namespace scenegrab_host
