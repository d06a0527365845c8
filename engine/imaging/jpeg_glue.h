#pragma once
// JPEG coding of device-independent bitmaps in memory, over libjpeg-turbo. Library errors are
// caught, their text sent to the trace monitor (TraceLine), and reported as an empty result;
// library warnings go to the trace monitor too. Any thread; calls share no state.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "engine/imaging/global_dib.h"
#include "platform/pixel_format.h"

// DecodeJpeg and JpegToDib flags.
inline constexpr int kJpegTopDown = 1;   // rows top-down, negative height
inline constexpr int kJpegFast = 2;      // fast integer inverse DCT, no fancy upsampling
inline constexpr int kJpegNoDither = 4;  // no dithering when quantizing to 8 bits

// Encodes a bitmap as a baseline JFIF stream at `quality` (0..100).
// `bitmapInfo` starts with the 40-byte header, followed for 8 bits by the colour table
// (clrUsed entries, 256 when 0). `pixels` holds the rows as the header describes them (bottom-up,
// or top-down for a negative height). Depths 8, 16 (5-6-5 with compression 3, else 5-5-5), 24
// and 32. Returns the stream, owned by the caller; empty when the header is missing, the width
// or the height's magnitude is not a multiple of 4, the depth is another, the pixels or colours
// are short, or the library fails.
std::vector<std::uint8_t> DibToJpeg(std::span<const std::uint8_t> bitmapInfo,
                                    std::span<const std::uint8_t> pixels, int quality);
std::vector<std::uint8_t> DibToJpeg(const GlobalDib& dib, int quality);

// The rows of a picture to encode, asked for once each, top row first: `row(line)` gives row
// `line` (0 the top) as `width` pixels of `format` (Indexed8 looked up in `colours`), valid
// until the next call, or null when it cannot be had.
struct JpegSourceRows {
    platform::PixelFormatCode format = platform::PixelFormatCode::None;
    std::span<const std::uint8_t> colours;
    std::size_t width = 0;
    std::size_t height = 0;
    std::function<const std::uint8_t*(std::size_t line)> row;
};

// Encodes the rows as DibToJpeg encodes a bitmap of the same pixels, so that no picture need be
// held to encode it. Empty when the width or the height is not a multiple of 4, the format is
// None, a row cannot be had, or the library fails.
std::vector<std::uint8_t> EncodeJpegRows(const JpegSourceRows& rows, int quality);

// Decodes `stream` at `depth` (8, 15, 16 or 24) and returns the size of the GlobalDib the image
// needs (header, colours or masks, rows), or 0 on failure. An image over the picture ceiling, or
// a progressive or multi-scan stream whose coefficients exceed the decoder working memory
// (platform/picture_limits.h), is a failure found from its header, before any pixel is decoded;
// the library's whole-picture arrays are held to that working memory. A stream whose scans pass
// the bounds of jpeg_scan_guard.h, or that draws more warnings than jpeg_error_hooks.h allows,
// is a failure as soon as the scan or warning past the bound is read. `header` receives the
// image's header. With an empty `dib` only the header is read; otherwise the whole image is
// written into `dib` (header first), which must hold at least the returned size, else nothing is
// decoded and the result is 0. Depth 8 quantizes to 256 colours (two passes, Floyd-Steinberg
// dithering unless kJpegNoDither); when the quantizer's copy of the picture (3 bytes a pixel)
// would not fit the working memory, the colours are chosen from the picture decoded at an eighth
// of its size and the picture is quantized to them as it is decoded. Unused colour-table entries
// are 0. On failure `dib` may hold a partial image.
std::size_t DecodeJpeg(std::span<const std::uint8_t> stream, platform::BitmapInfoHeader& header,
                       std::span<std::uint8_t> dib, int depth, int flags);

// Decodes `stream` at `depth` into a new GlobalDib (owned by the caller); empty on failure, with
// nothing allocated for an image over the picture ceiling.
GlobalDib JpegToDib(std::span<const std::uint8_t> stream, int depth, int flags);
