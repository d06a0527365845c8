#include "engine/avatar_file/packed_dib.h"

#include <new>

#include "platform/picture_limits.h"

std::optional<PackedDibShape> ShapeFor(std::int64_t width, std::int64_t height, int bitCount) {
    if (width <= 0 || height <= 0 || (bitCount != 8 && bitCount != 24 && bitCount != 32))
        return std::nullopt;
    if (width > static_cast<std::int64_t>(kMaxAvatarPixels) ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxAvatarPixels)
        return std::nullopt;
    // Avatar rows are unpadded, so the ceiling's padded size is an upper bound of the block.
    if (!platform::PictureBlockBytes(width, height, bitCount,
                                     bitCount == 8 ? kHeaderAndPalette : platform::kInfoHeaderSize))
        return std::nullopt;
    PackedDibShape shape;
    shape.width = static_cast<int>(width);
    shape.height = static_cast<int>(height);
    shape.bitCount = bitCount;
    shape.bytesPerPixel = static_cast<std::size_t>(bitCount / 8);
    shape.pixelOffset = bitCount == 8 ? kHeaderAndPalette : platform::kInfoHeaderSize;
    shape.pixelBytes =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * shape.bytesPerPixel;
    return shape;
}

std::optional<PackedDibShape> CheckedShape(const PackedDib& image) {
    if (image.size() < platform::kInfoHeaderSize)
        return std::nullopt;
    const platform::BitmapInfoHeader header = HeaderOf(image);
    std::optional<PackedDibShape> shape =
        ShapeFor(header.biWidth, header.biHeight, header.biBitCount);
    if (!shape || image.size() < shape->TotalBytes())
        return std::nullopt;
    return shape;
}

std::optional<PackedDib> NewPackedDib(std::int64_t width, std::int64_t height, int bitCount) {
    const std::optional<PackedDibShape> shape = ShapeFor(width, height, bitCount);
    if (!shape)
        return std::nullopt;
    PackedDib image;
    try {
        image.assign(shape->TotalBytes(), 0);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    platform::BitmapInfoHeader header;
    header.biWidth = shape->width;
    header.biHeight = shape->height;
    header.biBitCount = static_cast<std::uint16_t>(bitCount);
    header.biXPelsPerMeter = 1;
    header.biYPelsPerMeter = 1;
    header.biClrUsed = bitCount == 8 ? 256 : 0;
    SetHeader(image, header);
    return image;
}
