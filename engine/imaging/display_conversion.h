#pragma once
// Converting a decoded image to the display's pixel depth, once at load, so that neither the
// renderer nor the blit converts per frame.

#include <span>

#include "engine/imaging/global_dib.h"
#include "platform/pixel_format.h"

// The display's depth: 8, 15, 16 or 24. A 16-bit display without the 5-6-5 masks counts as 15;
// deeper displays report 24, shallower ones 8. Any thread.
int ProbeDisplayDepth();

// Converts `image` (a valid GlobalDib: its block holds what its header describes) to `depth`
// (8, 15, 16 or 24) and returns the result, which owns the pixels from then on. Towards 15, 16
// and 24 bits the pixels are converted inside the image's own block, row by row, and the block
// is resized to fit (remapped, never copied, for a large picture), so that no second picture is
// held.
// 8-bit images stay as they are, and so does every image for any other `depth`. Towards 8 bits
// the image takes a JPEG round trip at quality 100 with colour quantization, the picture freed
// once encoded; when the encoding fails (for example a width that is not a multiple of 4) the
// image stays at its own depth. The
// result's header describes it: bit count, image size 0, compression 3 with colours used 3 and
// the masks for 5-6-5, else compression 0, colours used 0; the row order is kept.
// Throws LoadError "Unsupported file fomat" for an image whose depth is not 8, 15, 16, 24 or 32,
// and "Insufficient system memory" when the block cannot grow or the encoded picture cannot be
// decoded (`image` is freed either way).
GlobalDib ConvertToDisplayDepth(GlobalDib image, int depth);

// What ConvertToDisplayDepth does to a picture with this header for `depth`: keeps it, converts
// its pixels (towards 15, 16 or 24 bits) or takes it through JPEG (towards 8 bits). Throws
// LoadError "Unsupported file fomat" for a picture whose depth is not 8, 15, 16, 24 or 32.
enum class DisplayConversion { Keep, Pixels, ThroughJpeg };
DisplayConversion DisplayConversionFor(const platform::BitmapInfoHeader& header, int depth);

// The header of the picture ConvertToDisplayDepth makes from one with header `image` when it
// converts its pixels to `depth` (15, 16 or 24), and the pixel format it makes.
platform::BitmapInfoHeader DisplayDepthHeader(const platform::BitmapInfoHeader& image, int depth);
platform::PixelFormatCode DisplayPixelFormat(int depth);

// The 8-bit picture of `stream`, a JPEG stream that a round trip towards an 8-bit display has
// just made of a picture, decoded as ConvertToDisplayDepth decodes it. Throws LoadError
// "Insufficient system memory" when it cannot be decoded: a stream just made fails only for
// lack of memory.
GlobalDib DecodeRoundTrip(std::span<const std::uint8_t> stream);

// Stores `header` at the start of `image` and, for a 5-6-5 header, the three masks behind it.
// The block must hold them.
void StoreDisplayHeader(GlobalDib& image, const platform::BitmapInfoHeader& header);
