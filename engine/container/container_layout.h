#pragma once
// The byte layout of a panorama container: a 16-byte header, a table of 16-byte section
// entries right behind it, then the section data. All numbers little-endian.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "engine/container/section_tag.h"

inline constexpr std::uint32_t kContainerMagic = PackSectionTag("HVXK");
inline constexpr std::size_t kContainerHeaderSize = 16;
inline constexpr std::size_t kSectionEntrySize = 16;

// Writers store version 0; readers take the byte at offset 12 as a signed version code.
struct ContainerHeader {
    std::uint32_t magic = 0;
    std::uint32_t totalSize = 0;
    std::uint32_t sectionCount = 0;
    std::uint32_t version = 0;
};

// The version code of a header: the byte at offset 12 as a signed number (format version
// code + 4; 0 is version 4.0).
inline std::int8_t VersionCode(const ContainerHeader& header) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(header.version & 0xFF));
}

struct SectionEntry {
    SectionName name{};
    std::uint32_t offset = 0;  // from the first byte of the container
    std::uint32_t size = 0;
    std::uint32_t reserved = 0;
};

// The header at the start of `block`; nullopt when the block is shorter than a header.
std::optional<ContainerHeader> ReadContainerHeader(std::span<const std::uint8_t> block);

// Table entry `index`; nullopt when the entry does not lie wholly inside `block`.
std::optional<SectionEntry> ReadSectionEntry(std::span<const std::uint8_t> block,
                                             std::size_t index);

// The entry's data when it lies wholly inside `block`, else nullopt.
std::optional<std::span<const std::uint8_t>> SectionData(std::span<const std::uint8_t> block,
                                                         const SectionEntry& entry);

// Writes the 16 bytes of a header or an entry at `out`, which must have room for them.
void WriteContainerHeader(std::uint8_t* out, const ContainerHeader& header);
void WriteSectionEntry(std::uint8_t* out, const SectionEntry& entry);

// True when `block` is a container that can be edited safely: magic "HVXK", total size equal to
// the block's size, the table inside it, every section's data behind the table and inside the
// block, and no two sections overlapping. Any thread.
bool IsEditableContainer(std::span<const std::uint8_t> block);
