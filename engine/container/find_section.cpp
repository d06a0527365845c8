#include "engine/container/find_section.h"

#include <optional>

#include "engine/container/data_type_sniff.h"

// Compares like a four-character strncmp: equal up to the first NUL of both.
bool SectionNameMatches(std::string_view wanted, const SectionName& stored) {
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

std::span<const std::uint8_t> FindSection(std::string_view name,
                                          std::span<const std::uint8_t> block) {
    if (SniffDataType(block) != DataTypeCode::Container) {
        return {};
    }
    const std::optional<ContainerHeader> header = ReadContainerHeader(block);
    if (!header) {
        return {};
    }
    for (std::size_t i = 0; i < header->sectionCount; ++i) {
        const std::optional<SectionEntry> entry = ReadSectionEntry(block, i);
        if (!entry) {
            return {};
        }
        if (SectionNameMatches(name, entry->name)) {
            return SectionData(block, *entry).value_or(std::span<const std::uint8_t>{});
        }
    }
    return {};
}
