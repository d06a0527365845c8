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
// Readers refuse a section beyond any bound here before extracting anything; BuildFileSection
// makes none.
inline constexpr std::size_t kMaxEmbeddedFiles = 1024;
inline constexpr std::uint64_t kMaxEmbeddedBytes = std::uint64_t{1} << 30;
// The longest name an entry may have: the longest path Linux takes (PATH_MAX, 4096, less its
// NUL), which no file name passes.
inline constexpr std::size_t kMaxEmbeddedNameBytes = 4095;
// The largest section within the bounds: kMaxEmbeddedFiles entries of the longest name, its NUL
// and the 4-byte length, kMaxEmbeddedBytes of contents, and the end byte. A larger section is
// refused as one beyond the bounds, whatever its entries, so that a reader can refuse it from
// the size in the container's table without reading it.
inline constexpr std::uint64_t kMaxFileSectionBytes =
    kMaxEmbeddedBytes + kMaxEmbeddedFiles * (kMaxEmbeddedNameBytes + 1 + 4) + 1;

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

// Whether the section is at most kMaxFileSectionBytes long and its entries, every one that the
// walk of ParseFileSection passes (names that are not plain included), number at most
// kMaxEmbeddedFiles, have names of at most kMaxEmbeddedNameBytes and hold at most
// kMaxEmbeddedBytes of contents. Walks no further than the entry that breaks a bound, and not at
// all through a section that is too long.
bool FileSectionWithinLimits(std::span<const std::uint8_t> section);

// The section for `entries`, ended by one NUL: at most kMaxFileSectionBytes long. nullopt when a
// name is not a plain file name or holds a NUL, or when the entries are beyond the bounds above.
// May throw std::bad_alloc.
std::optional<std::vector<std::uint8_t>> BuildFileSection(
    std::span<const EmbeddedFileEntry> entries);
