#pragma once
// Panoramas built in memory for the engine's tests.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A 24-bit bitmap file whose pixel (x, y) (y counted from the bottom) has blue = x mod 256,
// green = y mod 256, red = 7. With `fileHeader` false: the bare information header.
Bytes MakeBitmap(int width, int height, bool fileHeader = true);

// A container with the given sections in order; the version byte at offset 12.
Bytes MakeContainer(const std::vector<std::pair<std::string, Bytes>>& sections,
                    std::int8_t version = 0);

Bytes InitSection(std::vector<std::int16_t> values);

struct HotspotCorners {
    float heading1, pitch1, heading2, pitch2;
    std::string target;
};
Bytes HotspotSection(const std::vector<HotspotCorners>& hotspots);

Bytes FileSection(const std::vector<std::pair<std::string, std::string>>& files);
