#pragma once
// A read-only view of device-independent pixels: what is handed to a surface.

#include <cstddef>
#include <cstdint>

#include "platform/pixel_format.h"

namespace platform {

struct PixelView {
    int width = 0;
    int height = 0;
    PixelFormatCode format = PixelFormatCode::Bgr24;  // a frame format (IsFrameFormat)
    // Rows bottom-up: row 0 is the bottom row of the picture; row r starts at
    // pixels + r * stride.
    const std::uint8_t* pixels = nullptr;
    std::size_t stride = 0;
    // For format 8: 256 colours as blue, green, red, reserved bytes. Ignored otherwise.
    const std::uint8_t* palette = nullptr;
};

}  // namespace platform
