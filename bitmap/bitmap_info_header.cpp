#include "bitmap/bitmap_info_header.h"

std::uint16_t ReadLe16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t ReadLe32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void WriteLe16(std::uint8_t* bytes, std::uint16_t value) {
    bytes[0] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

void WriteLe32(std::uint8_t* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

BitmapInfoHeader LoadInfoHeader(const std::uint8_t* bytes) {
    BitmapInfoHeader h;
    h.biSize = ReadLe32(bytes);
    h.biWidth = static_cast<std::int32_t>(ReadLe32(bytes + 4));
    h.biHeight = static_cast<std::int32_t>(ReadLe32(bytes + 8));
    h.biPlanes = ReadLe16(bytes + 12);
    h.biBitCount = ReadLe16(bytes + 14);
    h.biCompression = ReadLe32(bytes + 16);
    h.biSizeImage = ReadLe32(bytes + 20);
    h.biXPelsPerMeter = static_cast<std::int32_t>(ReadLe32(bytes + 24));
    h.biYPelsPerMeter = static_cast<std::int32_t>(ReadLe32(bytes + 28));
    h.biClrUsed = ReadLe32(bytes + 32);
    h.biClrImportant = ReadLe32(bytes + 36);
    return h;
}

void StoreInfoHeader(std::uint8_t* bytes, const BitmapInfoHeader& h) {
    WriteLe32(bytes, h.biSize);
    WriteLe32(bytes + 4, static_cast<std::uint32_t>(h.biWidth));
    WriteLe32(bytes + 8, static_cast<std::uint32_t>(h.biHeight));
    WriteLe16(bytes + 12, h.biPlanes);
    WriteLe16(bytes + 14, h.biBitCount);
    WriteLe32(bytes + 16, h.biCompression);
    WriteLe32(bytes + 20, h.biSizeImage);
    WriteLe32(bytes + 24, static_cast<std::uint32_t>(h.biXPelsPerMeter));
    WriteLe32(bytes + 28, static_cast<std::uint32_t>(h.biYPelsPerMeter));
    WriteLe32(bytes + 32, h.biClrUsed);
    WriteLe32(bytes + 36, h.biClrImportant);
}

std::optional<std::uint64_t> RowStride(std::int64_t width, int bitsPerPixel) {
    if (width < 0 || bitsPerPixel <= 0)
        return std::nullopt;
    const auto bits = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitsPerPixel);
    return (bits + 31) / 32 * 4;
}

bool MultiplyWithin(std::uint64_t a, std::uint64_t b, std::uint64_t limit, std::uint64_t* value) {
    if (a != 0 && b > limit / a)
        return false;
    *value = a * b;
    return *value <= limit;
}
