#include "apps/mimeo/colour_reduction.h"

#include <algorithm>
#include <cstdlib>
#include <span>

#include "engine/imaging/jpeg_glue.h"

namespace {

std::array<PaletteColour, 256> MakeFixedPalette() {
    std::array<PaletteColour, 256> palette{};
    palette[0] = {255, 0, 0};
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b)
                palette[static_cast<std::size_t>(1 + 36 * r + 6 * g + b)] = {
                    static_cast<std::uint8_t>(51 * b), static_cast<std::uint8_t>(51 * g),
                    static_cast<std::uint8_t>(51 * r)};
        }
    }
    for (int i = 0; i <= 38; ++i) {
        const auto grey = static_cast<std::uint8_t>(6 * i);
        palette[static_cast<std::size_t>(217 + i)] = {grey, grey, grey};
    }
    return palette;
}

int Distance(PaletteColour a, PaletteColour b) {
    return std::abs(a.blue - b.blue) + std::abs(a.green - b.green) + std::abs(a.red - b.red);
}

// Copies the grid of `from` into the header of `to`.
void KeepGrid(const PackedDib& from, PackedDib& to) {
    platform::BitmapInfoHeader header = HeaderOf(to);
    header.biXPelsPerMeter = HeaderOf(from).biXPelsPerMeter;
    header.biYPelsPerMeter = HeaderOf(from).biYPelsPerMeter;
    SetHeader(to, header);
}

}  // namespace

const std::array<PaletteColour, 256>& FixedPalette() {
    static const std::array<PaletteColour, 256> palette = MakeFixedPalette();
    return palette;
}

int NearestFixedEntry(PaletteColour colour) {
    const std::array<PaletteColour, 256>& palette = FixedPalette();
    if (Distance(colour, palette[0]) == 0)
        return 0;
    int best = 1;
    int bestDistance = Distance(colour, palette[1]);
    for (int i = 2; i < 256 && bestDistance > 0; ++i) {
        const int distance = Distance(colour, palette[static_cast<std::size_t>(i)]);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

std::optional<PackedDib> QuantizeToFixedPalette(const PackedDib& image) {
    const std::optional<PackedDibShape> shape = CheckedShape(image);
    if (!shape)
        return std::nullopt;
    if (shape->bitCount == 8)
        return image;
    std::optional<PackedDib> reduced = NewPackedDib(shape->width, shape->height, 8);
    if (!reduced)
        return std::nullopt;
    KeepGrid(image, *reduced);
    const std::array<PaletteColour, 256>& palette = FixedPalette();
    std::uint8_t* entry = reduced->data() + platform::kInfoHeaderSize;
    for (const PaletteColour& colour : palette) {
        entry[0] = colour.blue;
        entry[1] = colour.green;
        entry[2] = colour.red;
        entry += 4;
    }
    const std::uint8_t* source = image.data() + shape->pixelOffset;
    std::uint8_t* target = reduced->data() + kHeaderAndPalette;
    const std::size_t pixels = shape->pixelBytes / shape->bytesPerPixel;
    for (std::size_t p = 0; p < pixels; ++p, source += shape->bytesPerPixel)
        target[p] = static_cast<std::uint8_t>(NearestFixedEntry({source[0], source[1], source[2]}));
    return reduced;
}

std::optional<PackedDib> ReducePaletteViaJpeg(const PackedDib& image) {
    const std::optional<PackedDibShape> shape = CheckedShape(image);
    if (!shape)
        return std::nullopt;
    if (shape->bitCount == 8)
        return image;
    if (shape->width % 4 != 0 || shape->height % 4 != 0)
        return std::nullopt;
    platform::BitmapInfoHeader header = HeaderOf(image);
    header.biCompression = platform::kBiRgb;
    std::uint8_t info[platform::kInfoHeaderSize];
    platform::StoreInfoHeader(info, header);
    // A width that is a multiple of 4 makes unpadded rows the padded rows the coder expects.
    const std::vector<std::uint8_t> stream = DibToJpeg(
        info, std::span<const std::uint8_t>(image.data() + shape->pixelOffset, shape->pixelBytes),
        100);
    if (stream.empty())
        return std::nullopt;
    const GlobalDib decoded = JpegToDib(stream, 8, 0);
    if (!decoded)
        return std::nullopt;
    const platform::BitmapInfoHeader decodedHeader = decoded.Header();
    if (decodedHeader.biWidth != shape->width || decodedHeader.biHeight != shape->height)
        return std::nullopt;
    std::optional<PackedDib> reduced = NewPackedDib(shape->width, shape->height, 8);
    if (!reduced)
        return std::nullopt;
    KeepGrid(image, *reduced);
    std::copy_n(decoded.Colours(), kPaletteBytes, reduced->begin() + platform::kInfoHeaderSize);
    for (std::size_t i = 0; i < 256; ++i)
        (*reduced)[platform::kInfoHeaderSize + 4 * i + 3] = 0;
    std::copy_n(decoded.Pixels(), reduced->size() - kHeaderAndPalette,
                reduced->begin() + kHeaderAndPalette);
    return reduced;
}

std::optional<PackedDib> ReduceTo256Colours(const PackedDib& image) {
    std::optional<PackedDib> reduced = ReducePaletteViaJpeg(image);
    if (reduced)
        return reduced;
    return QuantizeToFixedPalette(image);
}
