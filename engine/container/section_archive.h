#pragma once
// SectionArchive owns one panorama container in a heap block and reads, writes, lists, adds,
// replaces and removes its sections.
//
// Contract for every operation: none throws; each failure (no container, wrong magic, short
// read, damaged table, allocation failure, absent section, size that would not fit in 32 bits)
// gives a zero or empty result. Operations that change the archive leave it as it was when they
// fail, except ReadFrom and Load, which empty it first. An archive is used by one thread at a
// time. Spans handed out point into the block and stay valid until the next operation that
// changes the archive.
//
// Each operation that takes a section name also takes the four characters packed into 32 bits
// (see section_tag.h). Names are normalised first: the first four characters, blank-padded.
//
// The block always holds an editable container (see IsEditableContainer): a file whose table or
// sections do not fit, or whose sections overlap, is refused as a whole when it is read. Its
// names are unique: a file that holds one name twice is read with the first entry of the name
// only (the one every reader finds), so a section set later is the one found and saved.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/container/byte_block.h"
#include "engine/container/container_layout.h"

class SectionArchive {
  public:
    SectionArchive() = default;
    // Empty, then ReadFrom(fd).
    explicit SectionArchive(int fd);
    // Empty, then Load(path).
    explicit SectionArchive(const std::filesystem::path& path);

    // Replaces the content with the container that starts at the descriptor's position (the
    // descriptor stays open; it is left behind what was read). Gives the total size, or 0 (the
    // archive empty) for a negative descriptor, a short read, a wrong magic, a total size below
    // 16 or a damaged table.
    std::uint32_t ReadFrom(int fd);
    // The same from bytes in memory: the container that starts at `bytes` (bytes behind its
    // total size are ignored). 0 (the archive empty) when the bytes are fewer than it claims.
    std::uint32_t ReadFrom(std::span<const std::uint8_t> bytes);
    // Writes the whole container; gives the bytes written, 0 for an empty archive or an error.
    std::uint32_t WriteTo(int fd) const;
    // Opens `path` for reading and does ReadFrom; 0 (the archive empty) when it cannot be opened.
    std::uint32_t Load(const std::filesystem::path& path);
    // Writes the container to `path` through the suite's safe save (platform::WriteFileSafely);
    // gives the bytes written, or 0 with the file at `path` untouched (also for an empty archive
    // and for a target the user may not write).
    std::uint32_t Save(const std::filesystem::path& path) const;

    // Copies the header; false (nothing copied) for an empty archive.
    bool GetHeader(ContainerHeader& header) const;

    // The section's size; 0 when absent, for an empty archive or an empty name.
    std::uint32_t GetSectionSize(std::string_view name) const;
    std::uint32_t GetSectionSize(std::uint32_t tag) const;

    // The section's bytes inside the block; empty when absent.
    std::span<const std::uint8_t> GetSection(std::string_view name) const;
    std::span<const std::uint8_t> GetSection(std::uint32_t tag) const;

    // Copies min(section size, dest size) bytes; gives the count, 0 when absent or `dest` empty.
    std::uint32_t CopySection(std::string_view name, std::span<std::uint8_t> dest) const;
    std::uint32_t CopySection(std::uint32_t tag, std::span<std::uint8_t> dest) const;

    // Non-empty `data` stores it: a section of the same length is overwritten in place; one of
    // another length is removed and the new data appended behind all other data; an absent one
    // is appended. Gives data.size(), or 0 when nothing was stored. Empty `data` deletes the
    // section (deleting the only one empties the archive) and gives 0. `data` may point into
    // this archive's own block.
    std::uint32_t SetSection(std::string_view name, std::span<const std::uint8_t> data);
    std::uint32_t SetSection(std::uint32_t tag, std::span<const std::uint8_t> data);

    // Gives the container's total size, 0 for an empty archive. When `list` is given it receives
    // the section names in table order, each as four characters and a NUL, then one more NUL
    // (empty for an empty archive).
    std::uint32_t ListSections(std::string* list = nullptr) const;

    // Frees the block; the archive is empty.
    void Clear();

    // Formats a listing of the archive (sizes, offsets, each section's bytes in hexadecimal) to
    // the dump sink; gives the number of sections listed. Exceptions of the sink pass through.
    int Dump() const;

  private:
    // Takes `block` as the content when it is an editable container, dropping later entries of
    // a name that occurs twice; gives its size as read, or 0 (the archive stays empty).
    std::uint32_t Adopt(ByteBlock block);
    // Index of the first entry with the normalised name.
    std::optional<std::size_t> FindEntry(std::string_view name) const;
    ContainerHeader Header() const;
    SectionEntry Entry(std::size_t index) const;

    // Changed in place as sections are set, so that a large container is held once.
    ByteBlock block_;
};

// Receives SectionArchive::Dump's text, one line at a time, on the dumping thread. The default
// discards it. Any thread may replace it; an empty function restores the default.
using ArchiveDumpSink = std::function<void(std::string_view line)>;
void SetArchiveDumpSink(ArchiveDumpSink sink);
