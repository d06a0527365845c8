#pragma once
// Reducing a true-colour grid picture to 256 colours. Pure functions, any thread. A new
// palette's flag bytes are all 0 (opaque); the grid fields of the header are kept.

#include <array>
#include <cstdint>
#include <optional>

#include "engine/avatar_file/packed_dib.h"

struct PaletteColour {
    std::uint8_t blue, green, red;
};

// The fixed palette: entry 0 pure blue (red 0, green 0, blue 255); entries 1 + 36r + 6g + b
// for r, g, b in 0..5 the colour cube (51r, 51g, 51b); entries 217 + i the greys 6i, i 0..38.
const std::array<PaletteColour, 256>& FixedPalette();

// The fixed-palette entry nearest to a colour by |dblue| + |dgreen| + |dred|: the lowest index
// of the nearest entries, except that entry 0 is taken only for pure blue itself.
int NearestFixedEntry(PaletteColour colour);

// An 8-bit picture on the fixed palette. A picture already 8-bit comes back unchanged; nothing
// for a damaged picture or when the memory cannot be had.
std::optional<PackedDib> QuantizeToFixedPalette(const PackedDib& image);

// An 8-bit picture through a JPEG round trip at quality 100, decoded to 256 colours with
// two-pass quantization and Floyd-Steinberg dithering. A picture already 8-bit comes back
// unchanged; nothing when the round trip fails, which it does for every picture whose width
// or height is not a multiple of 4.
std::optional<PackedDib> ReducePaletteViaJpeg(const PackedDib& image);

// ReducePaletteViaJpeg, else QuantizeToFixedPalette; nothing only when both fail.
std::optional<PackedDib> ReduceTo256Colours(const PackedDib& image);
