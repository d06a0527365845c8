#pragma once
// Tells a panorama container from a bare bitmap or JPEG by the first bytes of a block.

#include <cstdint>
#include <span>

#include "engine/container/section_tag.h"

// Classification codes; compared as 32-bit values, never stored in a file.
enum class DataTypeCode : std::uint32_t {
    None = 0,
    Bitmap = PackSectionTag("  BM"),
    Jpeg = PackSectionTag("JFIF"),
    Container = PackSectionTag("HVXK"),
};

// Looks at the first four bytes only, in this order: "BM" or a first 32-bit value of 40 (a bare
// bitmap information header) is a bitmap; FF D8 FF E0 is a JPEG; "HVXK" is a container;
// anything else, a block too short to hold the pattern included, is none. Any thread.
DataTypeCode SniffDataType(std::span<const std::uint8_t> block);
