#pragma once
// PackedDib: the in-memory picture of an avatar and of the frames it is built from. One block,
// owned by its holder:
//   - the 40-byte information header (platform::BitmapInfoHeader), height positive;
//   - for 8 bits a pixel, 256 colours (blue, green, red, flag; flag 255 = transparent);
//   - width x height pixels, bottom row first, rows packed end to end without padding,
//     1, 3 or 4 bytes a pixel (index; blue, green, red; blue, green, red, fourth byte).
// An avatar keeps its grid of frames in the header: biXPelsPerMeter columns, biYPelsPerMeter
// rows; frame k lies in column k mod columns and row block k div columns counted from the
// bottom. Pure functions, any thread.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/dib_header.h"

using PackedDib = std::vector<std::uint8_t>;

inline constexpr std::size_t kPaletteBytes = 256 * 4;
inline constexpr std::size_t kHeaderAndPalette = platform::kInfoHeaderSize + kPaletteBytes;
// The compression code of run-length coded avatar pixels: the four bytes "qzmv".
inline constexpr std::uint32_t kAvatarRunLengthCode = 'q' | 'z' << 8 | 'm' << 16 | 'v' << 24;
// Pictures with more pixels than this are not avatars; the bound keeps a hostile header from
// asking for an absurd block.
inline constexpr std::uint64_t kMaxAvatarPixels = 64ull << 20;
inline constexpr std::uint8_t kTransparentFlag = 255;

// Where the parts of a PackedDib of one size and depth lie.
struct PackedDibShape {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::size_t bytesPerPixel = 0;
    std::size_t pixelOffset = 0;  // header, and palette for 8 bits
    std::size_t pixelBytes = 0;   // width x height x bytes per pixel
    std::size_t RowBytes() const { return static_cast<std::size_t>(width) * bytesPerPixel; }
    std::size_t TotalBytes() const { return pixelOffset + pixelBytes; }
};

// The shape of a picture of this size and depth; nothing when the width or the height is not
// positive, the depth is not 8, 24 or 32, the picture has more than kMaxAvatarPixels, or it is
// over the suite's picture ceiling (platform/picture_limits.h).
std::optional<PackedDibShape> ShapeFor(std::int64_t width, std::int64_t height, int bitCount);

// The shape of `image`'s header; nothing when ShapeFor refuses it or the block is shorter than
// the shape.
std::optional<PackedDibShape> CheckedShape(const PackedDib& image);

// A new picture: header with the size, depth, grid 1 x 1 (biClrUsed 256 for 8 bits), palette
// and pixels zero. Nothing when ShapeFor refuses the size or the memory cannot be had.
std::optional<PackedDib> NewPackedDib(std::int64_t width, std::int64_t height, int bitCount);

inline platform::BitmapInfoHeader HeaderOf(const PackedDib& image) {
    return platform::LoadInfoHeader(image.data());
}
inline void SetHeader(PackedDib& image, const platform::BitmapInfoHeader& header) {
    platform::StoreInfoHeader(image.data(), header);
}
