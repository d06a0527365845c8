// Stretched drawing into a window's surface: each destination pixel takes the nearest source
// pixel (no smoothing), as a plain copy.
#include <limits>
#include <vector>

#include "bitmap/cdib.h"
#include "platform/surface.h"

namespace {

// Source coordinate of destination step `i` of `destSize` over `sourceSize` pixels from
// `sourceStart`: the source pixel under the destination pixel's centre; -1 when that lies
// outside 0..limit - 1.
int NearestSource(int i, int destSize, int sourceStart, int sourceSize, int limit) {
    const std::int64_t at =
        sourceStart + (2 * std::int64_t{i} + 1) * sourceSize / (2 * std::int64_t{destSize});
    return at >= 0 && at < limit ? static_cast<int>(at) : -1;
}

}  // namespace

int CDIB::Paint(platform::Surface& surface, int xDest, int yDest, int wDest, int hDest, int xSrc,
                int ySrc, int wSrc, int hSrc) const {
    if (IsEmpty() || GetBitCount() <= 0)
        return 0;
    if (wDest == -1)
        wDest = m_header.biWidth;
    if (hDest == -1)
        hDest = m_header.biHeight;
    if (wSrc == -1)
        wSrc = m_header.biWidth;
    if (hSrc == -1)
        hSrc = m_header.biHeight;
    constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
    if (wDest <= 0 || hDest <= 0 || wSrc <= 0 || hSrc <= 0 ||
        std::int64_t{xDest} + wDest > kLargest || std::int64_t{yDest} + hDest > kLargest) {
        return 0;
    }

    CDIB stretched(wDest, hDest, 24);
    if (stretched.IsEmpty())
        return 0;
    std::vector<int> columns(static_cast<std::size_t>(wDest));
    for (int i = 0; i < wDest; ++i)
        columns[static_cast<std::size_t>(i)] =
            NearestSource(i, wDest, xSrc, wSrc, m_header.biWidth);
    for (int j = 0; j < hDest; ++j) {
        const int y = NearestSource(j, hDest, ySrc, hSrc, m_header.biHeight);
        std::uint8_t* out = stretched.RowAt(j);
        for (int i = 0; i < wDest; ++i, out += 3) {
            const int x = columns[static_cast<std::size_t>(i)];
            if (x >= 0 && y >= 0)
                ReadColor(x, y, &out[2], &out[1], &out[0]);
        }
    }
    platform::PixelView view;
    view.width = wDest;
    view.height = hDest;
    view.format = platform::PixelFormatCode::Bgr24;
    view.pixels = stretched.m_pBits;
    view.stride = stretched.GetStride();
    const platform::Rect dest{xDest, yDest, xDest + wDest, yDest + hDest};
    return surface.Draw(view, dest) ? 1 : 0;
}
