#include "engine/viewer/extraction_folder.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>

#include "platform/files.h"

namespace {

constexpr std::string_view kPrefix = "~HV";
constexpr std::size_t kAddressDigits = 8;

bool IsLowerHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// The process id in an extraction folder's name ("~HV", eight lower-case hexadecimal digits,
// ".", the id in decimal); nothing for any other name.
std::optional<std::uint32_t> ExtractionFolderProcess(std::string_view name) {
    if (!name.starts_with(kPrefix) || name.size() < kPrefix.size() + kAddressDigits + 2)
        return std::nullopt;
    const std::string_view address = name.substr(kPrefix.size(), kAddressDigits);
    for (const char c : address) {
        if (!IsLowerHexDigit(c))
            return std::nullopt;
    }
    const std::string_view id = name.substr(kPrefix.size() + kAddressDigits + 1);
    if (name[kPrefix.size() + kAddressDigits] != '.' || id.front() < '1' || id.front() > '9')
        return std::nullopt;
    std::uint32_t pid = 0;
    const auto [end, fault] = std::from_chars(id.data(), id.data() + id.size(), pid);
    if (fault != std::errc() || end != id.data() + id.size())
        return std::nullopt;
    return pid;
}

}  // namespace

std::string ExtractionFolderFor(const void* engine) {
    char name[48];
    std::snprintf(name, sizeof name, "~HV%08x.%u/",
                  static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(engine)),
                  static_cast<unsigned>(platform::CurrentProcessId()));
    return platform::GetTempPath() + name;
}

void RemoveStaleExtractionFolders() {
    platform::RemoveFoldersOfEndedProcesses(ExtractionFolderProcess);
}
