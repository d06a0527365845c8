#pragma once
// The "BTMP" section: the panorama image, one record filling the whole section (a JFIF stream,
// a bitmap file, or a bare bitmap information header with its pixels). This layer handles it as
// bytes only; decoding is the image decoder's.

#include <cstdint>
#include <span>
#include <string_view>

inline constexpr std::string_view kImageSectionName = "BTMP";

// True for a file that the editor stores whole as the image section when it saves a panorama
// that it opened as a bare image: one that begins "BM" or FF D8. Any thread.
bool IsStorableImageFile(std::span<const std::uint8_t> file);
