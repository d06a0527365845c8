#include "engine/avatar_file/avatar_run_length.h"

#include <algorithm>
#include <new>

#include "platform/byte_order.h"

std::optional<std::vector<std::uint8_t>> RleCompress(const PackedDib& image) {
    const std::optional<PackedDibShape> shape = CheckedShape(image);
    if (!shape || shape->bitCount != 8)
        return std::nullopt;
    const std::size_t pixels = shape->pixelBytes;
    // The coding stops as soon as its words outgrow the plain indices, so the block never takes
    // more than one word beyond them.
    std::vector<std::uint8_t> coded;
    try {
        coded.reserve(kHeaderAndPalette + pixels + 2);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    coded.assign(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(kHeaderAndPalette));
    const std::uint8_t* p = image.data() + kHeaderAndPalette;
    for (std::size_t i = 0; i < pixels;) {
        std::size_t run = 1;
        while (run < 255 && i + run < pixels && p[i + run] == p[i])
            ++run;
        coded.push_back(static_cast<std::uint8_t>(run));
        coded.push_back(p[i]);
        i += run;
        if (coded.size() - kHeaderAndPalette > pixels)
            return std::nullopt;
    }
    const std::size_t wordBytes = coded.size() - kHeaderAndPalette;
    platform::BitmapInfoHeader header = HeaderOf(image);
    header.biSizeImage = static_cast<std::uint32_t>(wordBytes + kPaletteBytes);
    header.biBitCount = 16;
    header.biClrUsed = 256;
    header.biCompression = kAvatarRunLengthCode;
    platform::StoreInfoHeader(coded.data(), header);
    return coded;
}

std::optional<PackedDib> RleExpand(std::span<const std::uint8_t> coded) {
    if (coded.size() < kHeaderAndPalette)
        return std::nullopt;
    platform::BitmapInfoHeader header = platform::LoadInfoHeader(coded.data());
    std::optional<PackedDib> image = NewPackedDib(header.biWidth, header.biHeight, 8);
    if (!image)
        return std::nullopt;
    std::copy_n(coded.begin(), kHeaderAndPalette, image->begin());
    const std::size_t claimed =
        header.biSizeImage >= kPaletteBytes ? (header.biSizeImage - kPaletteBytes) / 2 : 0;
    const std::size_t words = std::min(claimed, (coded.size() - kHeaderAndPalette) / 2);
    const std::size_t pixels = image->size() - kHeaderAndPalette;
    const std::uint8_t* word = coded.data() + kHeaderAndPalette;
    std::size_t written = 0;
    for (std::size_t i = 0; i < words && written < pixels; ++i, word += 2) {
        const std::size_t run = std::min<std::size_t>(word[0], pixels - written);
        std::fill_n(image->begin() + static_cast<std::ptrdiff_t>(kHeaderAndPalette + written), run,
                    word[1]);
        written += run;
    }
    header.biSizeImage = 0;
    header.biBitCount = 8;
    header.biClrUsed = 256;
    header.biCompression = platform::kBiRgb;
    SetHeader(*image, header);
    return image;
}
