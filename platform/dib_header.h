#pragma once
// The 40-byte information header at the start of every packed device-independent bitmap (the
// memory-block form of a picture that bitmap files, the clipboard, the codecs and the decoders
// exchange), its little-endian byte form, and the padding of bitmap rows. Pure functions, any
// thread.

#include <cstddef>
#include <cstdint>

#include "platform/pixel_format.h"

namespace platform {

inline constexpr std::size_t kInfoHeaderSize = 40;
inline constexpr std::size_t kFileHeaderSize = 14;  // the "BM" header in front of a file
inline constexpr std::size_t kCoreHeaderSize = 12;  // the older header with 16-bit sizes

// Compression codes; any other value is a codec's four-character code.
inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiRle4 = 2;
inline constexpr std::uint32_t kBiBitfields = 3;

struct BitmapInfoHeader {
    std::uint32_t biSize = kInfoHeaderSize;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;  // negative: rows stored top-down
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = kBiRgb;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

// Reads / writes the 40 header bytes at `bytes`, which the caller guarantees are there.
BitmapInfoHeader LoadInfoHeader(const std::uint8_t* bytes);
void StoreInfoHeader(std::uint8_t* bytes, const BitmapInfoHeader& header);

// The bytes of one stored row: width x bitCount bits rounded up to a multiple of 4 bytes.
// `width` and `bitCount` are at least 0; the product is taken in 64 bits.
std::size_t DibRowStride(std::int64_t width, int bitCount);

// The pixel format (platform/pixel_format.h) of the pixels a header describes: 5-5-5 for 16 bits
// without bit fields, 5-6-5 for 16 bits with them; None for bit counts other than 8, 16, 24, 32.
PixelFormatCode DibPixelFormatCode(const BitmapInfoHeader& header);

}  // namespace platform
