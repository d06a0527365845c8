#include "engine/container/file_section.h"

#include <algorithm>
#include <cctype>

#include "platform/byte_order.h"

namespace {

constexpr std::size_t kLengthBytes = 4;

bool NamesADrive(std::string_view name) {
    return name.size() >= 2 && name[1] == ':' &&
           std::isalpha(static_cast<unsigned char>(name[0])) != 0;
}

// Calls `visit` with every entry that lies wholly inside the section, in order, until the empty
// name, the first entry that does not fit, or a visit that returns false.
template <typename Visit>
void WalkEntries(std::span<const std::uint8_t> section, Visit visit) {
    std::size_t at = 0;
    while (at < section.size() && section[at] != 0) {
        const auto nameBegin = section.begin() + static_cast<std::ptrdiff_t>(at);
        const auto nameEnd = std::find(nameBegin, section.end(), std::uint8_t{0});
        if (nameEnd == section.end())
            return;
        const std::size_t lengthAt = static_cast<std::size_t>(nameEnd - section.begin()) + 1;
        if (section.size() - lengthAt < kLengthBytes)
            return;
        const std::uint32_t length = platform::LoadLe32(section.data() + lengthAt);
        const std::size_t contentsAt = lengthAt + kLengthBytes;
        if (length > section.size() - contentsAt)
            return;
        const std::string_view name(reinterpret_cast<const char*>(section.data() + at),
                                    static_cast<std::size_t>(nameEnd - nameBegin));
        if (!visit(EmbeddedFileEntry{name, section.subspan(contentsAt, length)}))
            return;
        at = contentsAt + length;
    }
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string_view::npos &&
           name.find('\0') == std::string_view::npos && !NamesADrive(name);
}

std::vector<EmbeddedFileEntry> ParseFileSection(std::span<const std::uint8_t> section) {
    std::vector<EmbeddedFileEntry> entries;
    WalkEntries(section, [&entries](const EmbeddedFileEntry& entry) {
        if (IsPlainFileName(entry.name))
            entries.push_back(entry);
        return true;
    });
    return entries;
}

bool FileSectionWithinLimits(std::span<const std::uint8_t> section) {
    if (section.size() > kMaxFileSectionBytes)
        return false;
    std::size_t count = 0;
    std::uint64_t bytes = 0;
    bool within = true;
    WalkEntries(section, [&](const EmbeddedFileEntry& entry) {
        bytes += entry.contents.size();
        within = ++count <= kMaxEmbeddedFiles && entry.name.size() <= kMaxEmbeddedNameBytes &&
                 bytes <= kMaxEmbeddedBytes;
        return within;
    });
    return within;
}

std::optional<std::vector<std::uint8_t>> BuildFileSection(
    std::span<const EmbeddedFileEntry> entries) {
    if (entries.size() > kMaxEmbeddedFiles)
        return std::nullopt;
    std::uint64_t size = 1;
    std::uint64_t contents = 0;
    // Within these bounds every length fits its 32 bits and the section kMaxFileSectionBytes.
    for (const EmbeddedFileEntry& entry : entries) {
        if (!IsPlainFileName(entry.name) || entry.name.size() > kMaxEmbeddedNameBytes)
            return std::nullopt;
        contents += entry.contents.size();
        if (contents > kMaxEmbeddedBytes)
            return std::nullopt;
        size += entry.name.size() + 1 + kLengthBytes + entry.contents.size();
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
