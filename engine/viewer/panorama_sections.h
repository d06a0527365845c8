#pragma once
// Reading a panorama held in memory: what kind of data a block holds, where its sections
// lie, and the records of the "INIT", "HSPT" and "FILE" sections. Every walk is bounded by
// the bytes that are really there; a record that does not fit ends the walk. Pure functions;
// any thread. Spans point into the caller's block.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

enum class PanoramaDataType { None, Bitmap, Jpeg, Container };

// Bitmap: "BM" or a first 32-bit value of 40 (a bare information header); JPEG: FF D8 FF E0;
// container: "HVXK". Tested in that order on the first four bytes.
PanoramaDataType SniffPanoramaData(std::span<const std::uint8_t> block);

// The data of the first section named `tag` (four characters) of a container, or nothing
// when the block is no container or holds no such section. The table walk and the section
// are bounded by the block: an entry that does not fit is treated as absent.
std::optional<std::span<const std::uint8_t>> FindPanoramaSection(std::span<const std::uint8_t> block,
                                                                 const char* tag);

// The eight signed 16-bit values of an "INIT" section; nothing unless it is exactly 16 bytes.
std::optional<std::array<std::int16_t, 8>> ReadInitSection(std::span<const std::uint8_t> data);

struct HotspotSectionRecord {
    float heading1 = 0, pitch1 = 0, heading2 = 0, pitch2 = 0;
    std::string target;
};
// The records of an "HSPT" section: at most its count byte of them, fewer when the section
// ends early (a record without its four floats and its terminating NUL is not taken).
std::vector<HotspotSectionRecord> ReadHotspotSection(std::span<const std::uint8_t> data);

struct EmbeddedFileRecord {
    std::string name;
    std::span<const std::uint8_t> bytes;
};
// The entries of a "FILE" section up to the empty name; an entry whose name is not
// terminated or whose length runs past the section ends the walk.
std::vector<EmbeddedFileRecord> ReadFileSection(std::span<const std::uint8_t> data);

// A name that may be created in the extraction folder: not empty, not "." or "..", and
// without a directory part or drive ("/", "\\", ":").
bool IsPlainFileName(const std::string& name);
