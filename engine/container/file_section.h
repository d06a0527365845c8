#pragma once
// The "FILE" section: embedded files, each as its name with a NUL, the length of its contents
// (32-bit little-endian) and the contents; one NUL byte (an empty name) ends the sequence.
// All functions are pure and may be called from any thread.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

inline constexpr std::string_view kFileSectionName = "FILE";

// The most entries, and the most bytes of contents in all, that a section may hold: far beyond
// the sounds, videos, avatars and documents that a panorama's hotspots name, and few enough
// that creating the files costs the viewer a fraction of a second besides writing their bytes.
// Readers refuse a section beyond either bound before extracting anything; BuildFileSection
// makes none.
inline constexpr std::size_t kMaxEmbeddedFiles = 1024;
inline constexpr std::uint64_t kMaxEmbeddedBytes = std::uint64_t{1} << 30;

// One embedded file. Both members view bytes owned elsewhere: the parsed section, or the
// caller's buffers when building.
struct EmbeddedFileEntry {
    std::string_view name;
    std::span<const std::uint8_t> contents;
};

// True for a name that can only name a file in the current folder: not empty, not "." or "..",
// no "/" or "\", and no drive ("C:...").
bool IsPlainFileName(std::string_view name);

// The entries in section order, viewing into `section`. The walk ends at the empty name, at the
// end of the section, or at the first entry that does not lie wholly inside the section (a name
// without a NUL, a length cut short, contents past the end). An entry whose name is not a plain
// file name is left out, and the walk goes on behind it.
std::vector<EmbeddedFileEntry> ParseFileSection(std::span<const std::uint8_t> section);

// Whether the section's entries, every one that the walk of ParseFileSection passes (names
// that are not plain included), number at most kMaxEmbeddedFiles and hold at most
// kMaxEmbeddedBytes of contents. Walks no further than the entry that breaks a bound.
bool FileSectionWithinLimits(std::span<const std::uint8_t> section);

// The section for `entries`, ended by one NUL. nullopt when a name is not a plain file name or
// holds a NUL, when contents are longer than 32 bits can count, when the entries are beyond
// the bounds above, or when the section would be larger than a container can hold. May throw
// std::bad_alloc.
std::optional<std::vector<std::uint8_t>> BuildFileSection(
    std::span<const EmbeddedFileEntry> entries);
