#include "platform/dib_header.h"

#include "platform/byte_order.h"

namespace platform {

BitmapInfoHeader LoadInfoHeader(const std::uint8_t* bytes) {
    BitmapInfoHeader h;
    h.biSize = LoadLe32(bytes);
    h.biWidth = static_cast<std::int32_t>(LoadLe32(bytes + 4));
    h.biHeight = static_cast<std::int32_t>(LoadLe32(bytes + 8));
    h.biPlanes = LoadLe16(bytes + 12);
    h.biBitCount = LoadLe16(bytes + 14);
    h.biCompression = LoadLe32(bytes + 16);
    h.biSizeImage = LoadLe32(bytes + 20);
    h.biXPelsPerMeter = static_cast<std::int32_t>(LoadLe32(bytes + 24));
    h.biYPelsPerMeter = static_cast<std::int32_t>(LoadLe32(bytes + 28));
    h.biClrUsed = LoadLe32(bytes + 32);
    h.biClrImportant = LoadLe32(bytes + 36);
    return h;
}

void StoreInfoHeader(std::uint8_t* bytes, const BitmapInfoHeader& h) {
    StoreLe32(bytes, h.biSize);
    StoreLe32(bytes + 4, static_cast<std::uint32_t>(h.biWidth));
    StoreLe32(bytes + 8, static_cast<std::uint32_t>(h.biHeight));
    StoreLe16(bytes + 12, h.biPlanes);
    StoreLe16(bytes + 14, h.biBitCount);
    StoreLe32(bytes + 16, h.biCompression);
    StoreLe32(bytes + 20, h.biSizeImage);
    StoreLe32(bytes + 24, static_cast<std::uint32_t>(h.biXPelsPerMeter));
    StoreLe32(bytes + 28, static_cast<std::uint32_t>(h.biYPelsPerMeter));
    StoreLe32(bytes + 32, h.biClrUsed);
    StoreLe32(bytes + 36, h.biClrImportant);
}

std::size_t DibRowStride(std::int64_t width, int bitCount) {
    const auto bits = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount);
    return static_cast<std::size_t>((bits + 31) / 32 * 4);
}

PixelFormatCode DibPixelFormatCode(const BitmapInfoHeader& header) {
    switch (header.biBitCount) {
        case 8:
            return PixelFormatCode::Indexed8;
        case 16:
            return header.biCompression == kBiBitfields ? PixelFormatCode::Rgb565
                                                        : PixelFormatCode::Rgb555;
        case 24:
            return PixelFormatCode::Bgr24;
        case 32:
            return PixelFormatCode::Bgrx32;
        default:
            return PixelFormatCode::None;
    }
}

}  // namespace platform
