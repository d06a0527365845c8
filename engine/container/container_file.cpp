#include "engine/container/container_file.h"

#include <algorithm>
#include <limits>

#include "engine/container/data_type_sniff.h"
#include "engine/container/find_section.h"

namespace {

// How many table entries are read at a time.
constexpr std::uint64_t kEntriesPerPiece = 4096;

}  // namespace

std::optional<ContainerFileSections> FindSectionsOfFile(const platform::File& file,
                                                        std::uint64_t fileSize,
                                                        std::span<const std::string_view> names) {
    // The header, followed by one piece of the table at a time, as ReadSectionEntry reads it.
    std::vector<std::uint8_t> piece(kContainerHeaderSize);
    if (fileSize < kContainerHeaderSize ||
        file.ReadAt(0, piece.data(), piece.size()) != piece.size() ||
        SniffDataType(piece) != DataTypeCode::Container) {
        return std::nullopt;
    }
    ContainerFileSections found{*ReadContainerHeader(piece),
                                std::vector<std::optional<SectionEntry>>(names.size())};
    // The entries the file holds: FindSection reads the table no further.
    const std::uint64_t entries = std::min<std::uint64_t>(
        found.header.sectionCount, (fileSize - kContainerHeaderSize) / kSectionEntrySize);
    std::vector<bool> matched(names.size(), false);
    std::size_t unmatched = names.size();
    for (std::uint64_t first = 0; first < entries && unmatched > 0;) {
        const auto count = static_cast<std::size_t>(std::min(kEntriesPerPiece, entries - first));
        piece.resize(kContainerHeaderSize + count * kSectionEntrySize);
        const std::size_t bytes = piece.size() - kContainerHeaderSize;
        if (file.ReadAt(kContainerHeaderSize + first * kSectionEntrySize,
                        piece.data() + kContainerHeaderSize, bytes) != bytes) {
            return std::nullopt;
        }
        for (std::size_t i = 0; i < count && unmatched > 0; ++i) {
            const SectionEntry entry = *ReadSectionEntry(piece, i);
            for (std::size_t n = 0; n < names.size(); ++n) {
                if (matched[n] || !SectionNameMatches(names[n], entry.name))
                    continue;
                matched[n] = true;
                --unmatched;
                // The first match is the one FindSection takes, or none when it does not fit.
                if (entry.offset <= fileSize && entry.size <= fileSize - entry.offset)
                    found.entries[n] = entry;
            }
        }
        first += count;
    }
    return found;
}

std::optional<std::vector<std::uint8_t>> ReadSectionsOfFile(
    const platform::File& file, const ContainerHeader& header,
    std::span<const std::optional<SectionEntry>> sections) {
    std::vector<SectionEntry> entries;
    std::uint64_t total = kContainerHeaderSize;
    for (const std::optional<SectionEntry>& entry : sections) {
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
                          static_cast<std::uint32_t>(entries.size()), header.version});
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
