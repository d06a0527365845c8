#include "engine/container/find_section.h"

#include <optional>

#include "engine/container/data_type_sniff.h"

namespace {

// Compares like a four-character strncmp: equal up to the first NUL of both.
bool NamesMatch(std::string_view wanted, const SectionName& stored) {
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char want = i < wanted.size() ? wanted[i] : '\0';
        if (want != stored[i]) {
            return false;
        }
        if (want == '\0') {
            return true;
        }
    }
    return true;
}

}  // namespace

std::optional<SectionEntry> FindSectionEntry(std::string_view name,
                                             std::span<const std::uint8_t> head,
                                             std::uint64_t blockSize) {
    if (SniffDataType(head) != DataTypeCode::Container) {
        return std::nullopt;
    }
    const std::optional<ContainerHeader> header = ReadContainerHeader(head);
    if (!header) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < header->sectionCount; ++i) {
        const std::optional<SectionEntry> entry = ReadSectionEntry(head, i);
        if (!entry) {
            return std::nullopt;
        }
        if (NamesMatch(name, entry->name)) {
            if (entry->offset > blockSize || entry->size > blockSize - entry->offset) {
                return std::nullopt;
            }
            return entry;
        }
    }
    return std::nullopt;
}

std::span<const std::uint8_t> FindSection(std::string_view name,
                                          std::span<const std::uint8_t> block) {
    const std::optional<SectionEntry> entry = FindSectionEntry(name, block, block.size());
    if (!entry) {
        return {};
    }
    return block.subspan(entry->offset, entry->size);
}
