#pragma once
// Rewriting the sides a JPEG stream declares, for streams the encoder cannot make (its widths
// and heights are multiples of 4): used by the imaging tests and the fuzz seed builder.

#include <cstdint>
#include <cstring>
#include <vector>

// A JPEG stream with its frame header's sides (big-endian, behind the FF C0 or FF C2 marker)
// replaced; empty when it has no such header.
inline std::vector<std::uint8_t> WithJpegSides(std::vector<std::uint8_t> stream,
                                               std::uint16_t width, std::uint16_t height) {
    for (std::size_t i = 0; i + 9 < stream.size(); ++i) {
        if (stream[i] == 0xFF && (stream[i + 1] == 0xC0 || stream[i + 1] == 0xC2)) {
            const std::uint8_t sides[4] = {
                static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height),
                static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width)};
            std::memcpy(&stream[i + 5], sides, 4);
            return stream;
        }
    }
    return {};
}
