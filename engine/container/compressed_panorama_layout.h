#pragma once
// The compressor's fixed two-section panorama file: header {"HVXK", n + 64, 2, 0}, entries
// {"INIT", 48, 16, 0} and {"BTMP", 64, n, 0}, the 16 bytes of "INIT" at 48 and the n-byte image
// at 64.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/container/init_section.h"

// "INIT" of a panorama: full sphere, initial view 0, default field of view.
inline constexpr InitValues kPanoramaInitValues{};
// "INIT" of a thumbnail panorama: a band of 45 degrees of pitch, field of view 60.
inline constexpr InitValues kThumbnailInitValues{360, 45, 0, 0, 0, 0, 0, 60};

// The whole file in one block. nullopt when the image is empty or the file would be larger
// than 32 bits can count. May throw std::bad_alloc. Any thread.
std::optional<std::vector<std::uint8_t>> BuildCompressedPanorama(
    std::span<const std::uint8_t> image, const InitValues& init);
