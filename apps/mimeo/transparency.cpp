#include "apps/mimeo/transparency.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>

namespace {

std::uint8_t* Palette(PackedDib& image) {
    return image.data() + platform::kInfoHeaderSize;
}

bool IsEightBit(const PackedDib& image) {
    const std::optional<PackedDibShape> shape = CheckedShape(image);
    return shape && shape->bitCount == 8;
}

std::uint8_t* Pixels(PackedDib& image) {
    return image.data() + kHeaderAndPalette;
}

std::size_t PixelCount(const PackedDib& image) {
    return image.size() - kHeaderAndPalette;
}

}  // namespace

bool MarkTransparent(PackedDib& image, ColourKey key, int tolerance) {
    if (!IsEightBit(image))
        return false;
    std::uint8_t* entry = Palette(image);
    for (int i = 0; i < 256; ++i, entry += 4) {
        const int distance = std::abs(entry[0] - key.blue) + std::abs(entry[1] - key.green) +
                             std::abs(entry[2] - key.red);
        if (distance <= tolerance)
            entry[3] = kTransparentFlag;
    }
    return true;
}

bool MarkTransparentColorRef(PackedDib& image, std::uint32_t colour, int tolerance) {
    return MarkTransparent(
        image,
        {static_cast<int>((colour >> 16) & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
         static_cast<int>(colour & 0xFF)},
        tolerance);
}

bool ClearTransparency(PackedDib& image) {
    if (!IsEightBit(image))
        return false;
    for (int i = 0; i < 256; ++i)
        Palette(image)[4 * i + 3] = 0;
    return true;
}

std::optional<ColourKey> FirstTransparentColour(const PackedDib& image) {
    if (!IsEightBit(image))
        return std::nullopt;
    const std::uint8_t* entry = image.data() + platform::kInfoHeaderSize;
    for (int i = 0; i < 256; ++i, entry += 4) {
        if (entry[3] != 0)
            return ColourKey{entry[0], entry[1], entry[2]};
    }
    return std::nullopt;
}

std::vector<std::size_t> PureBluePixels(const PackedDib& image) {
    std::vector<std::size_t> blue;
    const std::optional<PackedDibShape> shape = CheckedShape(image);
    if (!shape || shape->bitCount == 8)
        return blue;
    const std::uint8_t* p = image.data() + shape->pixelOffset;
    const std::size_t pixels = shape->pixelBytes / shape->bytesPerPixel;
    for (std::size_t k = 0; k < pixels; ++k, p += shape->bytesPerPixel) {
        if (p[0] == 255 && p[1] == 0 && p[2] == 0)
            blue.push_back(k);
    }
    return blue;
}

bool MoveOffIndexZero(PackedDib& image) {
    if (!IsEightBit(image))
        return false;
    std::uint8_t* pixels = Pixels(image);
    const std::size_t count = PixelCount(image);
    std::array<bool, 256> used{};
    for (std::size_t k = 0; k < count; ++k)
        used[pixels[k]] = true;
    if (!used[0])
        return true;
    std::uint8_t* palette = Palette(image);
    int target = 0;
    for (int i = 1; i < 256 && target == 0; ++i) {
        if (!used[static_cast<std::size_t>(i)])
            target = i;
    }
    if (target != 0) {
        std::copy_n(palette, 4, palette + 4 * target);
    } else {
        int best = std::numeric_limits<int>::max();
        for (int i = 1; i < 256; ++i) {
            int distance = 0;
            for (int c = 0; c < 3; ++c)
                distance += std::abs(palette[4 * i + c] - palette[c]);
            if (distance < best && palette[4 * i + 3] == palette[3]) {
                best = distance;
                target = i;
            }
        }
        if (target == 0)
            target = 1;
    }
    std::replace(pixels, pixels + count, std::uint8_t{0}, static_cast<std::uint8_t>(target));
    return true;
}

bool ApplyBlueScreen(PackedDib& image, const std::vector<std::size_t>& bluePixels) {
    if (!IsEightBit(image))
        return false;
    std::uint8_t* pixels = Pixels(image);
    const std::size_t count = PixelCount(image);
    std::vector<bool> blue(count, false);
    for (const std::size_t k : bluePixels) {
        if (k < count)
            blue[k] = true;
    }
    // A palette whose index 0 already holds the blue screen alone (the fixed palette's pure
    // blue) is kept as it is; only other pixels at index 0 need an index of their own.
    bool othersAtZero = false;
    for (std::size_t k = 0; k < count && !othersAtZero; ++k)
        othersAtZero = pixels[k] == 0 && !blue[k];
    if (othersAtZero)
        MoveOffIndexZero(image);
    std::uint8_t* entry = Palette(image);
    entry[0] = 255;
    entry[1] = 0;
    entry[2] = 0;
    entry[3] = kTransparentFlag;
    for (std::size_t k = 0; k < count; ++k) {
        if (blue[k])
            pixels[k] = 0;
    }
    return true;
}

void KeepIndexZeroTransparent(PackedDib& image) {
    if (!IsEightBit(image) || Palette(image)[3] == kTransparentFlag)
        return;
    MoveOffIndexZero(image);
    Palette(image)[3] = kTransparentFlag;
}
