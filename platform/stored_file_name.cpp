#include "platform/stored_file_name.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/program_launcher.h"
#include "platform/stored_text.h"

namespace platform {

std::string FindStoredFileName(const std::string& stored,
                               const std::function<bool(const std::string&)>& exists) {
    if (stored.empty() || exists(stored))
        return stored;
    const std::optional<std::string> other =
        IsUtf8(stored) ? Utf8ToWindows1252(stored) : Windows1252ToUtf8(stored);
    if (other && *other != stored && exists(*other))
        return *other;
    return stored;
}

std::string FindStoredFileName(const std::string& stored) {
    return FindStoredFileName(stored, [](const std::string& name) {
        std::error_code error;
        return std::filesystem::exists(name, error);
    });
}

std::string FindStoredCommandLine(const std::string& stored) {
    return FindStoredFileName(stored, [](const std::string& commandLine) {
        const std::vector<std::string> words = SplitCommandLine(commandLine);
        return !words.empty() && ResolveProgram(words.front()).has_value();
    });
}

}  // namespace platform
