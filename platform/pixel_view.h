#pragma once
// A read-only view of device-independent pixels: what is handed to a surface.

#include <cstddef>
#include <cstdint>

namespace platform {

// Pixel format codes: 8 = palette index, 15 = 16-bit 5-5-5, 16 = 16-bit 5-6-5,
// 24 = blue, green, red bytes.
inline constexpr int kPixelFormatIndexed = 8;
inline constexpr int kPixelFormat555 = 15;
inline constexpr int kPixelFormat565 = 16;
inline constexpr int kPixelFormatBgr = 24;

// Bytes a pixel takes in `format` (1, 2, 2, 3); 0 for an unknown code.
int BytesPerPixel(int format);

struct PixelView {
    int width = 0;
    int height = 0;
    int format = kPixelFormatBgr;
    // Rows bottom-up: row 0 is the bottom row of the picture; row r starts at
    // pixels + r * stride.
    const std::uint8_t* pixels = nullptr;
    std::size_t stride = 0;
    // For format 8: 256 colours as blue, green, red, reserved bytes. Ignored otherwise.
    const std::uint8_t* palette = nullptr;
};

}  // namespace platform
