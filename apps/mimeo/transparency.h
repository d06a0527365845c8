#pragma once
// Transparent colours of an 8-bit avatar: palette entries whose flag byte is 255. The viewer
// draws palette index 0 as transparent over 8-bit panoramas whatever its flag, so Mimeo keeps
// index 0 for transparent pixels only. Pure functions, any thread.

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/avatar_file/packed_dib.h"

// A colour key (blue, green, red); its distance to an entry is |dblue| + |dgreen| + |dred|.
struct ColourKey {
    int blue = 0, green = 0, red = 0;
};

// Flags as transparent every palette entry within `tolerance` of `key`; other entries keep
// their flag. False (nothing changed) for a picture that is not 8-bit.
bool MarkTransparent(PackedDib& image, ColourKey key, int tolerance);
// The same with the key as a COLORREF-style value: red in the low byte, then green, blue.
bool MarkTransparentColorRef(PackedDib& image, std::uint32_t colour, int tolerance);
// Makes every palette entry opaque. False for a picture that is not 8-bit.
bool ClearTransparency(PackedDib& image);

// The colour of the lowest flagged palette entry, or nothing.
std::optional<ColourKey> FirstTransparentColour(const PackedDib& image);

// The pixels (offsets from the first pixel) of a 24- or 32-bit picture that are exactly pure
// blue (blue 255, green 0, red 0): the blue screen of frame pictures.
std::vector<std::size_t> PureBluePixels(const PackedDib& image);

// Moves every pixel of index 0 of an 8-bit picture to another index of the same colour: an
// index no pixel uses (taking entry 0's colour and flag), else the nearest other entry. False
// for a picture that is not 8-bit.
bool MoveOffIndexZero(PackedDib& image);

// The blue screen of a reduced 8-bit picture: `bluePixels` (from PureBluePixels of the picture
// before reduction) become index 0, entry 0 becomes transparent pure blue, and other pixels
// that the reduction put at index 0 move to another index first (MoveOffIndexZero); when
// index 0 holds no other pixel the rest of the palette is kept as it is. False for a picture
// that is not 8-bit.
bool ApplyBlueScreen(PackedDib& image, const std::vector<std::size_t>& bluePixels);

// Makes a picture safe to hand to the viewer: when its entry 0 is opaque, its pixels of index
// 0 move to another index and entry 0 becomes transparent. Pictures not 8-bit are unchanged.
void KeepIndexZeroTransparent(PackedDib& image);
