// Quarter turns and mirror flips. Pixels move as raw values, so a palette picture keeps its
// colour table and indices and a bit-field picture its masks.
#include <cstring>
#include <utility>

#include "bitmap/cdib.h"

using platform::BitmapInfoHeader;
using platform::kInfoHeaderSize;
using platform::StoreInfoHeader;

template <typename Place>
int CDIB::Remap(int newWidth, int newHeight, Place place) {
    const int bits = GetBitCount();
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return 0;
    BitmapInfoHeader header = m_header;
    header.biWidth = newWidth;
    header.biHeight = newHeight;
    Layout layout;
    if (!LayoutOf(header, &layout))
        return 0;
    BitmapBlock block = AllocateZeroed(layout.blockBytes);
    if (!block)
        return 0;
    StoreInfoHeader(block.get(), header);
    const std::size_t tableBytes = 4 * layout.tableEntries;
    std::memcpy(block.get() + kInfoHeaderSize, m_pBMI.get() + kInfoHeaderSize, tableBytes);

    const std::size_t pixelBytes = static_cast<std::size_t>(bits / 8);
    std::uint8_t* targetBits = block.get() + kInfoHeaderSize + tableBytes;
    const int width = m_header.biWidth;
    const int height = m_header.biHeight;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* sourceRow = RowAt(y);
        for (int x = 0; x < width; ++x) {
            const auto [toX, toY] = place(x, y, width, height);
            std::uint8_t* target = targetBits +
                                   static_cast<std::size_t>(newHeight - 1 - toY) * layout.stride +
                                   static_cast<std::size_t>(toX) * pixelBytes;
            std::memcpy(target, sourceRow + static_cast<std::size_t>(x) * pixelBytes, pixelBytes);
        }
    }
    Adopt(std::move(block), layout.blockBytes);
    return 1;
}

int CDIB::Rotate90() {
    return Remap(m_header.biHeight, m_header.biWidth, [](int x, int y, int, int h) {
        return std::pair{h - 1 - y, x};
    });
}

int CDIB::Rotate180() {
    return Remap(m_header.biWidth, m_header.biHeight, [](int x, int y, int w, int h) {
        return std::pair{w - 1 - x, h - 1 - y};
    });
}

int CDIB::Rotate270() {
    return Remap(m_header.biHeight, m_header.biWidth, [](int x, int y, int w, int) {
        return std::pair{y, w - 1 - x};
    });
}

int CDIB::FlipVertical() {
    return Remap(m_header.biWidth, m_header.biHeight, [](int x, int y, int, int h) {
        return std::pair{x, h - 1 - y};
    });
}

int CDIB::FlipHorizontal() {
    return Remap(m_header.biWidth, m_header.biHeight, [](int x, int y, int w, int) {
        return std::pair{w - 1 - x, y};
    });
}
