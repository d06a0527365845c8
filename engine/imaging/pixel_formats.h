#pragma once
// The pixel formats of device-independent bitmaps and the conversions between them, one pixel
// at a time through blue, green, red bytes. Used by the JPEG glue, the display-depth conversion
// and BlitDib.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "engine/imaging/global_dib.h"

enum class DibPixelFormat {
    Indexed8,  // palette index; colour table entries blue, green, red, 0
    Rgb555,    // 16 bits, compression 0 (called 15)
    Rgb565,    // 16 bits, bit-field compression
    Bgr24,
    Bgrx32,  // fourth byte ignored
};

struct BgrPixel {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
};

// The format a header describes; nothing for other bit counts.
std::optional<DibPixelFormat> DibFormatOf(const platform::BitmapInfoHeader& header);
int DibBitsPerPixel(DibPixelFormat format);

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
// beyond the table gives black.
BgrPixel ReadDibPixel(DibPixelFormat format, const std::uint8_t* row, std::size_t x,
                      std::span<const std::uint8_t> colours);
// Stores `pixel` as pixel x of `row`; Indexed8 is not a target.
void WriteDibPixel(DibPixelFormat format, std::uint8_t* row, std::size_t x, BgrPixel pixel);

// Converts `width` x `rows` pixels. Row r of the target is row r of the source, or row
// rows - 1 - r when `flipRows`. Source and target may be the same memory when the target lies at
// or before the source, takes no more bytes a pixel and has a stride no larger, and no flip is
// asked: each pixel is read before its target bytes are written.
struct DibPixelRows {
    DibPixelFormat format;
    std::uint8_t* first;  // row 0
    std::size_t stride;
};
struct DibSourceRows {
    DibPixelFormat format;
    const std::uint8_t* first;
    std::size_t stride;
    std::span<const std::uint8_t> colours;
};
void ConvertDibPixels(const DibSourceRows& source, const DibPixelRows& target, std::size_t width,
                      std::size_t rows, bool flipRows);
