#include "engine/container/container_file.h"

#include <algorithm>
#include <limits>

#include "engine/container/container_layout.h"
#include "engine/container/data_type_sniff.h"
#include "engine/container/find_section.h"

std::optional<std::vector<std::uint8_t>> ReadContainerTable(const platform::File& file,
                                                            std::uint64_t fileSize) {
    std::vector<std::uint8_t> head(std::min<std::uint64_t>(kContainerHeaderSize, fileSize));
    if (file.ReadAt(0, head.data(), head.size()) != head.size() ||
        SniffDataType(head) != DataTypeCode::Container) {
        return std::nullopt;
    }
    const std::optional<ContainerHeader> header = ReadContainerHeader(head);
    if (!header)
        return std::nullopt;
    const std::uint64_t tableEnd = std::min<std::uint64_t>(
        kContainerHeaderSize + std::uint64_t{header->sectionCount} * kSectionEntrySize, fileSize);
    head.resize(static_cast<std::size_t>(tableEnd));
    const std::size_t rest = head.size() - kContainerHeaderSize;
    if (file.ReadAt(kContainerHeaderSize, head.data() + kContainerHeaderSize, rest) != rest)
        return std::nullopt;
    return head;
}

std::optional<std::vector<std::uint8_t>> ReadSectionsOfFile(
    const platform::File& file, std::span<const std::uint8_t> table, std::uint64_t fileSize,
    std::span<const std::string_view> names) {
    const std::optional<ContainerHeader> fileHeader = ReadContainerHeader(table);
    if (!fileHeader)
        return std::nullopt;
    std::vector<SectionEntry> entries;
    std::uint64_t total = kContainerHeaderSize;
    for (const std::string_view name : names) {
        const std::optional<SectionEntry> entry = FindSectionEntry(name, table, fileSize);
        if (!entry || entry->size == 0)
            continue;
        entries.push_back(*entry);
        total += kSectionEntrySize + entry->size;
    }
    if (total > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    std::vector<std::uint8_t> container(static_cast<std::size_t>(total));
    WriteContainerHeader(container.data(),
                         {kContainerMagic, static_cast<std::uint32_t>(total),
                          static_cast<std::uint32_t>(entries.size()), fileHeader->version});
    std::uint64_t offset = kContainerHeaderSize + entries.size() * kSectionEntrySize;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const SectionEntry& entry = entries[i];
        std::uint8_t* data = container.data() + offset;
        if (file.ReadAt(entry.offset, data, entry.size) != entry.size)
            return std::nullopt;
        WriteSectionEntry(container.data() + kContainerHeaderSize + i * kSectionEntrySize,
                          {entry.name, static_cast<std::uint32_t>(offset), entry.size, 0});
        offset += entry.size;
    }
    return container;
}
