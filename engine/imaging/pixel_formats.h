#pragma once
// Conversions between the pixel formats of device-independent bitmaps (platform/pixel_format.h),
// one pixel at a time through blue, green, red bytes. Used by the JPEG glue and the display-depth
// conversion.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pixel_format.h"

struct BgrPixel {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
};

// 5-5-5 and 5-6-5 values are widened by shifting, the low bits left 0.
inline BgrPixel Expand555(std::uint16_t value) {
    return {static_cast<std::uint8_t>(value << 3), static_cast<std::uint8_t>((value >> 2) & 0xF8),
            static_cast<std::uint8_t>((value >> 7) & 0xF8)};
}
inline BgrPixel Expand565(std::uint16_t value) {
    return {static_cast<std::uint8_t>(value << 3), static_cast<std::uint8_t>((value >> 3) & 0xFC),
            static_cast<std::uint8_t>((value >> 8) & 0xF8)};
}
inline std::uint16_t Pack555(BgrPixel pixel) {
    return static_cast<std::uint16_t>((pixel.red >> 3) << 10 | (pixel.green >> 3) << 5 |
                                      pixel.blue >> 3);
}
inline std::uint16_t Pack565(BgrPixel pixel) {
    return static_cast<std::uint16_t>((pixel.red >> 3) << 11 | (pixel.green >> 2) << 5 |
                                      pixel.blue >> 3);
}

// Pixel x of `row`. For Indexed8 the index is looked up in `colours` (4 bytes an entry); an index
// beyond the table gives black, as does None.
BgrPixel ReadDibPixel(platform::PixelFormatCode format, const std::uint8_t* row, std::size_t x,
                      std::span<const std::uint8_t> colours);
// Stores `pixel` as pixel x of `row`; Indexed8 and None are not targets (nothing is stored).
void WriteDibPixel(platform::PixelFormatCode format, std::uint8_t* row, std::size_t x,
                   BgrPixel pixel);

// Converts `width` x `rows` pixels. Row r of the target is row r of the source, or row
// rows - 1 - r when `flipRows`. Source and target may be the same memory when the target lies at
// or before the source, takes no more bytes a pixel and has a stride no larger, and no flip is
// asked: each pixel is read before its target bytes are written.
struct DibPixelRows {
    platform::PixelFormatCode format;
    std::uint8_t* first;  // row 0
    std::size_t stride;
};
struct DibSourceRows {
    platform::PixelFormatCode format;
    const std::uint8_t* first;
    std::size_t stride;
    std::span<const std::uint8_t> colours;
};
void ConvertDibPixels(const DibSourceRows& source, const DibPixelRows& target, std::size_t width,
                      std::size_t rows, bool flipRows);
