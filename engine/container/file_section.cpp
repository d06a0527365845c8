#include "engine/container/file_section.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "platform/byte_order.h"

namespace {

constexpr std::size_t kLengthBytes = 4;
constexpr std::uint64_t kMaxSectionSize = std::numeric_limits<std::uint32_t>::max();

bool NamesADrive(std::string_view name) {
    return name.size() >= 2 && name[1] == ':' &&
           std::isalpha(static_cast<unsigned char>(name[0])) != 0;
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string_view::npos &&
           name.find('\0') == std::string_view::npos && !NamesADrive(name);
}

std::vector<EmbeddedFileEntry> ParseFileSection(std::span<const std::uint8_t> section) {
    std::vector<EmbeddedFileEntry> entries;
    std::size_t at = 0;
    while (at < section.size() && section[at] != 0) {
        const auto nameBegin = section.begin() + static_cast<std::ptrdiff_t>(at);
        const auto nameEnd = std::find(nameBegin, section.end(), std::uint8_t{0});
        if (nameEnd == section.end()) {
            break;
        }
        const std::size_t lengthAt = static_cast<std::size_t>(nameEnd - section.begin()) + 1;
        if (section.size() - lengthAt < kLengthBytes) {
            break;
        }
        const std::uint32_t length = platform::LoadLe32(section.data() + lengthAt);
        const std::size_t contentsAt = lengthAt + kLengthBytes;
        if (length > section.size() - contentsAt) {
            break;
        }
        const std::string_view name(reinterpret_cast<const char*>(section.data() + at),
                                    static_cast<std::size_t>(nameEnd - nameBegin));
        if (IsPlainFileName(name)) {
            entries.push_back({name, section.subspan(contentsAt, length)});
        }
        at = contentsAt + length;
    }
    return entries;
}

std::optional<std::vector<std::uint8_t>> BuildFileSection(
    std::span<const EmbeddedFileEntry> entries) {
    std::uint64_t size = 1;
    for (const EmbeddedFileEntry& entry : entries) {
        if (!IsPlainFileName(entry.name) || entry.contents.size() > kMaxSectionSize) {
            return std::nullopt;
        }
        size += entry.name.size() + 1 + kLengthBytes + entry.contents.size();
        if (size > kMaxSectionSize) {
            return std::nullopt;
        }
    }
    std::vector<std::uint8_t> section;
    section.reserve(static_cast<std::size_t>(size));
    for (const EmbeddedFileEntry& entry : entries) {
        section.insert(section.end(), entry.name.begin(), entry.name.end());
        section.push_back(0);
        platform::AppendLe32(section, static_cast<std::uint32_t>(entry.contents.size()));
        section.insert(section.end(), entry.contents.begin(), entry.contents.end());
    }
    section.push_back(0);
    return section;
}
