#pragma once
// Builds bitmap files byte by byte for the tests, including files that lie about themselves.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct BmpSpec {
    std::uint32_t headerSize = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> masks;          // written inside headers of 52+ bytes, else after
    std::vector<std::uint8_t> colorTable;      // written as given
    std::vector<std::uint8_t> pixels;          // written as given
    std::optional<std::uint32_t> fileSize;     // default: the real size
    std::optional<std::uint32_t> pixelOffset;  // default: where the pixels are written
};

std::string BuildBmp(const BmpSpec& spec);

// The 40-byte information header of a packed bitmap block (planes 1, resolution and the other
// fields 0).
std::vector<std::uint8_t> PackedHeader(int width, int height, int bitCount,
                                       std::uint32_t compression, std::uint32_t sizeImage = 0,
                                       std::uint32_t colorsUsed = 0);
