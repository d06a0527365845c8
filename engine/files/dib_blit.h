#pragma once
// Drawing a device-independent bitmap for display: its pixels, of any depth a GlobalDib holds,
// are copied unscaled into a 32-bit surface that a windowing backend can show.

#include <cstdint>
#include <span>

#include "engine/files/global_dib.h"

// A surface of 0xFFRRGGBB pixels, rows top-down, `stride` pixels from one row to the next.
struct BlitTarget {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

struct BlitRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Draws the bitmap at `destination` (the whole bitmap at 0, 0 without one): the destination's
// size is taken from the bitmap's lower-left corner, as a bitmap's origin is its bottom row.
// Parts outside the bitmap or the target are left alone. `bitmapInfo` starts with the header,
// followed by the colour table for 8 bits (256 entries); `pixels` holds the rows as the header
// describes them (bottom-up, or top-down for a negative height). Depths 8, 16 (5-5-5, or 5-6-5
// with bit-field compression), 24 and 32. Returns the number of rows drawn; 0 when the format is
// another or the header, colours or pixels are short. The caller's thread; the caller owns both.
int BlitDib(const BlitTarget& target, std::span<const std::uint8_t> bitmapInfo, std::span<const std::uint8_t> pixels,
            const BlitRect* destination = nullptr);
int BlitDib(const BlitTarget& target, const GlobalDib& dib, const BlitRect* destination = nullptr);
