#pragma once

// Pixel formats shared by a panorama image and the frames rendered from it, and the sampling
// levels of the renderer.

// 8: one byte, a palette index. 15: 16-bit 5-5-5 (red 0x7C00, green 0x03E0, blue 0x001F, top bit
// ignored). 16: 16-bit 5-6-5 (red 0xF800, green 0x07E0, blue 0x001F). 24: bytes blue, green, red.
enum class PixelFormatCode : int { Indexed8 = 8, Rgb555 = 15, Rgb565 = 16, Bgr24 = 24 };

// 0: nearest pixel. 1: half-pixel averaging. 8: bilinear with 4-bit weights. Indexed images are
// always sampled at the nearest pixel.
enum class AntialiasLevel : int { Nearest = 0, Half = 1, Bilinear = 8 };

// Bytes a pixel of `format` occupies, or 0 for a code that is not a pixel format.
constexpr int BytesPerPixel(PixelFormatCode format) {
    switch (format) {
        case PixelFormatCode::Indexed8:
            return 1;
        case PixelFormatCode::Rgb555:
        case PixelFormatCode::Rgb565:
            return 2;
        case PixelFormatCode::Bgr24:
            return 3;
    }
    return 0;
}
