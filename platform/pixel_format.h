#pragma once
// The pixel formats of device-independent pixels: the one vocabulary of the surfaces, the
// renderer, the image decoders and the bitmap class. Header only.

namespace platform {

// The code of a format is the number the suite uses for it. 8: one byte, a palette index
// (colour table entries blue, green, red, 0). 15: 16-bit 5-5-5 (red 0x7C00, green 0x03E0, blue
// 0x001F, top bit ignored; a bitmap header says 16 bits without bit fields). 16: 16-bit 5-6-5
// (red 0xF800, green 0x07E0, blue 0x001F; 16 bits with bit fields). 24: bytes blue, green, red.
// 32: blue, green, red and an ignored byte. None: a bit count that has no format here.
enum class PixelFormatCode : int {
    None = 0,
    Indexed8 = 8,
    Rgb555 = 15,
    Rgb565 = 16,
    Bgr24 = 24,
    Bgrx32 = 32,
};

// Bytes a pixel of `format` occupies (1, 2, 2, 3, 4); 0 for None or a code that is no format.
constexpr int BytesPerPixel(PixelFormatCode format) {
    switch (format) {
        case PixelFormatCode::Indexed8:
            return 1;
        case PixelFormatCode::Rgb555:
        case PixelFormatCode::Rgb565:
            return 2;
        case PixelFormatCode::Bgr24:
            return 3;
        case PixelFormatCode::Bgrx32:
            return 4;
        case PixelFormatCode::None:
            break;
    }
    return 0;
}

// The bit count a bitmap header gives pixels of `format` (8, 16, 16, 24, 32); 0 for None or a
// code that is no format.
constexpr int BitsPerPixel(PixelFormatCode format) {
    return 8 * BytesPerPixel(format);
}

// Whether frames are drawn and shown in `format`: the renderer draws, and a window's surface
// keeps, only 8, 15, 16 and 24.
constexpr bool IsFrameFormat(PixelFormatCode format) {
    return format == PixelFormatCode::Indexed8 || format == PixelFormatCode::Rgb555 ||
           format == PixelFormatCode::Rgb565 || format == PixelFormatCode::Bgr24;
}

}  // namespace platform
