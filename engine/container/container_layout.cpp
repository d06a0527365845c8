#include "engine/container/container_layout.h"

#include <algorithm>
#include <vector>

#include "platform/byte_order.h"

std::optional<ContainerHeader> ReadContainerHeader(std::span<const std::uint8_t> block) {
    if (block.size() < kContainerHeaderSize) {
        return std::nullopt;
    }
    const std::uint8_t* bytes = block.data();
    return ContainerHeader{platform::LoadLe32(bytes), platform::LoadLe32(bytes + 4),
                           platform::LoadLe32(bytes + 8), platform::LoadLe32(bytes + 12)};
}

std::optional<SectionEntry> ReadSectionEntry(std::span<const std::uint8_t> block,
                                             std::size_t index) {
    const std::size_t available = block.size() < kContainerHeaderSize
                                      ? 0
                                      : (block.size() - kContainerHeaderSize) / kSectionEntrySize;
    if (index >= available) {
        return std::nullopt;
    }
    const std::uint8_t* bytes = block.data() + kContainerHeaderSize + index * kSectionEntrySize;
    SectionEntry entry;
    std::copy_n(bytes, entry.name.size(), entry.name.begin());
    entry.offset = platform::LoadLe32(bytes + 4);
    entry.size = platform::LoadLe32(bytes + 8);
    entry.reserved = platform::LoadLe32(bytes + 12);
    return entry;
}

std::optional<std::span<const std::uint8_t>> SectionData(std::span<const std::uint8_t> block,
                                                         const SectionEntry& entry) {
    if (entry.offset > block.size() || entry.size > block.size() - entry.offset) {
        return std::nullopt;
    }
    return block.subspan(entry.offset, entry.size);
}

void WriteContainerHeader(std::uint8_t* out, const ContainerHeader& header) {
    platform::StoreLe32(out, header.magic);
    platform::StoreLe32(out + 4, header.totalSize);
    platform::StoreLe32(out + 8, header.sectionCount);
    platform::StoreLe32(out + 12, header.version);
}

void WriteSectionEntry(std::uint8_t* out, const SectionEntry& entry) {
    std::copy(entry.name.begin(), entry.name.end(), out);
    platform::StoreLe32(out + 4, entry.offset);
    platform::StoreLe32(out + 8, entry.size);
    platform::StoreLe32(out + 12, entry.reserved);
}

bool IsEditableContainer(std::span<const std::uint8_t> block) {
    const std::optional<ContainerHeader> header = ReadContainerHeader(block);
    if (!header || header->magic != kContainerMagic || header->totalSize != block.size()) {
        return false;
    }
    const std::uint64_t tableEnd =
        kContainerHeaderSize + std::uint64_t{header->sectionCount} * kSectionEntrySize;
    if (tableEnd > block.size()) {
        return false;
    }
    std::vector<SectionEntry> entries;
    entries.reserve(header->sectionCount);
    for (std::size_t i = 0; i < header->sectionCount; ++i) {
        const SectionEntry entry = *ReadSectionEntry(block, i);
        if (entry.offset < tableEnd || !SectionData(block, entry)) {
            return false;
        }
        entries.push_back(entry);
    }
    std::sort(entries.begin(), entries.end(), [](const SectionEntry& a, const SectionEntry& b) {
        return a.offset != b.offset ? a.offset < b.offset : a.size < b.size;
    });
    std::uint64_t previousEnd = tableEnd;
    for (const SectionEntry& entry : entries) {
        if (entry.offset < previousEnd) {
            return false;
        }
        previousEnd = std::uint64_t{entry.offset} + entry.size;
    }
    return true;
}
