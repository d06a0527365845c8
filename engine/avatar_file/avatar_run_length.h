#pragma once
// The run-length code of 8-bit avatar pixels. A coded block is laid out as an avatar file from
// its information header on: the header (biBitCount 16, biCompression "qzmv", biSizeImage
// 2 x N + 1024, biClrUsed 256), the 256 colours, then N little-endian 16-bit words, each a run
// length (low byte, 1 to 255) and a palette index (high byte). The runs laid end to end give
// the width x height indices bottom row first; they cross row ends freely.
// Pure functions, any thread.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/avatar_file/packed_dib.h"

// A new coded block for the 8-bit `image`; runs longer than 255 are split (300 equal indices
// give a run of 255 and one of 45). Nothing when the image is not a well-formed 8-bit picture,
// when the memory cannot be had, or when the words would take more bytes than the plain
// indices (equal sizes are coded). The image is not changed.
std::optional<std::vector<std::uint8_t>> RleCompress(const PackedDib& image);

// The 8-bit picture a coded block holds (biBitCount 8, biCompression 0, biSizeImage 0,
// biClrUsed 256). The words read are the (biSizeImage - 1024) / 2 the header claims, but never
// more than the block holds; a run of length 0 writes nothing, expansion stops at width x height
// pixels, and pixels no word reaches are 0. Nothing when the block is shorter than header and
// colours, its size is refused by ShapeFor, or the memory cannot be had.
std::optional<PackedDib> RleExpand(std::span<const std::uint8_t> coded);
