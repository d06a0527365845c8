#include "engine/files/dib_blit.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "engine/files/pixel_formats.h"

namespace {

std::uint32_t ToSurfacePixel(Bgr pixel) {
    return 0xFF000000U | std::uint32_t{pixel.red} << 16 | std::uint32_t{pixel.green} << 8 | pixel.blue;
}

}  // namespace

int BlitDib(const BlitTarget& target, std::span<const std::uint8_t> bitmapInfo, std::span<const std::uint8_t> pixels,
            const BlitRect* destination) {
    if (bitmapInfo.size() < kInfoHeaderSize || target.pixels == nullptr) return 0;
    const BitmapInfoHeader header = ReadInfoHeader(bitmapInfo.data());
    const std::optional<PixelFormat> format = FormatOf(header);
    if (!format || header.width <= 0 || header.height == 0 ||
        header.height == std::numeric_limits<std::int32_t>::min()) {
        return 0;
    }
    const int width = header.width;
    const int height = std::abs(header.height);
    const std::size_t stride = RowStride(width, header.bitCount);
    if (pixels.size() / stride < static_cast<std::size_t>(height)) return 0;
    std::span<const std::uint8_t> colours;
    if (*format == PixelFormat::Indexed8) {
        if (bitmapInfo.size() < kInfoHeaderSize + kColourTableBytes) return 0;
        colours = bitmapInfo.subspan(kInfoHeaderSize, kColourTableBytes);
    }

    const BlitRect area = destination != nullptr ? *destination : BlitRect{0, 0, width, height};
    const int areaHeight = area.bottom - area.top;
    // Destination row y shows bitmap row (areaHeight - 1 - (y - top)) counted from the bottom.
    const int columns = std::min({area.right - area.left, width, target.width - std::max(area.left, 0)});
    int drawn = 0;
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, target.height); ++y) {
        const int fromBottom = areaHeight - 1 - (y - area.top);
        if (fromBottom < 0 || fromBottom >= height) continue;
        const int storedRow = header.height > 0 ? fromBottom : height - 1 - fromBottom;
        const std::uint8_t* row = pixels.data() + static_cast<std::size_t>(storedRow) * stride;
        std::uint32_t* out = target.pixels + static_cast<std::ptrdiff_t>(y) * target.stride;
        for (int x = std::max(area.left, 0); x < area.left + columns; ++x) {
            out[x] = ToSurfacePixel(ReadPixel(*format, row, static_cast<std::size_t>(x - area.left), colours));
        }
        ++drawn;
    }
    return drawn;
}

int BlitDib(const BlitTarget& target, const GlobalDib& dib, const BlitRect* destination) {
    return BlitDib(target, dib.Info(), dib.PixelBytes(), destination);
}
