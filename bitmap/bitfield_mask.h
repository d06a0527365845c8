#pragma once
// One colour channel of a bit-field pixel (16-bit 5-5-5, 5-6-5 or any contiguous mask):
// widening a channel to 8 bits and narrowing 8 bits into it. Pure, any thread.

#include <cstdint>
#include <optional>

struct BitfieldMask {
    int shift = 0;  // lowest bit of the channel
    int bits = 0;   // channel width; 0 for an absent channel (reads as 0)

    // The channel's value in `pixel`, scaled to 8 bits by shifting (5 bits: value << 3).
    std::uint8_t Expand(std::uint32_t pixel) const;
    // `value` narrowed to the channel and placed at its bits.
    std::uint32_t Pack(std::uint8_t value) const;
};

// The channel of a mask; nullopt when its bits are not contiguous or exceed `pixelBits`.
std::optional<BitfieldMask> DescribeBitfieldMask(std::uint32_t mask, int pixelBits);

// The three channels of the uncompressed 16-bit layout: red 10-14, green 5-9, blue 0-4.
inline constexpr BitfieldMask kRed555{10, 5};
inline constexpr BitfieldMask kGreen555{5, 5};
inline constexpr BitfieldMask kBlue555{0, 5};
