// The conversion between depths, inside the picture's own block: the block grows (or shrinks)
// by remapping and the pixels move within it, so no second picture is ever held.
#include <array>
#include <cstring>
#include <utility>

#include "bitmap/cdib.h"
#include "platform/byte_order.h"

using platform::BitmapInfoHeader;
using platform::kInfoHeaderSize;

namespace {

// One pixel read as GetPixel reads it and written as SetPixel writes it into a bitmap of the
// target depth (16 bits: 5-5-5). Reads the whole source pixel before writing, so the two may
// overlap.
class PixelConverter {
  public:
    PixelConverter(int sourceBits, std::span<const std::uint8_t> colorTable,
                   std::array<BitfieldMask, 3> sourceMasks, int targetBits)
        : sourceBits_(sourceBits), sourceMasks_(sourceMasks), targetBits_(targetBits) {
        if (sourceBits == 8)
            std::memcpy(palette_.data(), colorTable.data(), palette_.size());
    }

    void Convert(const std::uint8_t* source, std::uint8_t* target) const {
        std::uint8_t r = 0;
        std::uint8_t g = 0;
        std::uint8_t b = 0;
        if (sourceBits_ == 8) {
            const std::uint8_t* entry = palette_.data() + 4 * std::size_t{*source};
            b = entry[0];
            g = entry[1];
            r = entry[2];
        } else if (sourceBits_ == 16) {
            const std::uint32_t word = platform::LoadLe16(source);
            r = sourceMasks_[0].Expand(word);
            g = sourceMasks_[1].Expand(word);
            b = sourceMasks_[2].Expand(word);
        } else {
            b = source[0];
            g = source[1];
            r = source[2];
        }
        if (targetBits_ == 16) {
            const std::uint32_t word = kRed555.Pack(r) | kGreen555.Pack(g) | kBlue555.Pack(b);
            platform::StoreLe16(target, static_cast<std::uint16_t>(word));
            return;
        }
        target[0] = b;
        target[1] = g;
        target[2] = r;
        if (targetBits_ == 32)
            target[3] = 0;
    }

  private:
    int sourceBits_;
    std::array<std::uint8_t, 1024> palette_{};
    std::array<BitfieldMask, 3> sourceMasks_;
    int targetBits_;
};

}  // namespace

int CDIB::ChangeBitDepth(int bitsPerPixel) {
    if (IsEmpty())
        return 0;
    if (IsCompressed()) {
        std::optional<CDIB> picture = DecompressTo(bitsPerPixel);
        if (!picture)
            return 0;
        *this = std::move(*picture);
        return 1;
    }
    const int current = GetBitCount();
    if (current == bitsPerPixel)
        return 1;
    const bool readable = current == 8 || current == 16 || current == 24 || current == 32;
    const bool writable = bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
    if (!readable || !writable)
        return 0;
    BitmapInfoHeader header;
    header.biWidth = m_header.biWidth;
    header.biHeight = m_header.biHeight;
    header.biBitCount = static_cast<std::uint16_t>(bitsPerPixel);
    Layout target;
    if (!LayoutOf(header, &target))
        return 0;

    const PixelConverter converter(current, GetColorTable(), ChannelMasks(), bitsPerPixel);
    const auto sourceOffset = static_cast<std::size_t>(m_pBits - m_pBMI.get());
    const std::size_t sourceStride = GetStride();
    const auto width = static_cast<std::size_t>(m_header.biWidth);
    const auto height = static_cast<std::size_t>(m_header.biHeight);
    const std::size_t sourcePixel = static_cast<std::size_t>(current) / 8;
    const std::size_t targetPixel = static_cast<std::size_t>(bitsPerPixel) / 8;
    const std::size_t padding = target.stride - width * targetPixel;
    if (target.blockBytes > m_blockSize && !ResizeBitmapBlock(m_pBMI, target.blockBytes))
        return 0;

    std::uint8_t* const pixels = m_pBMI.get() + kInfoHeaderSize;
    if (targetPixel > sourcePixel) {
        // Wider pixels: with the rows moved down over the colour table, the last row and pixel
        // go first; each lands at or beyond where it was read, over bytes already read.
        std::memmove(pixels, m_pBMI.get() + sourceOffset, sourceStride * height);
        for (std::size_t row = height; row-- > 0;) {
            const std::uint8_t* from = pixels + row * sourceStride;
            std::uint8_t* to = pixels + row * target.stride;
            std::memset(to + width * targetPixel, 0, padding);
            for (std::size_t x = width; x-- > 0;)
                converter.Convert(from + x * sourcePixel, to + x * targetPixel);
        }
    } else {
        // Narrower pixels: the first row and pixel go first; each lands at or before where it
        // was read.
        for (std::size_t row = 0; row < height; ++row) {
            const std::uint8_t* from = m_pBMI.get() + sourceOffset + row * sourceStride;
            std::uint8_t* to = pixels + row * target.stride;
            for (std::size_t x = 0; x < width; ++x)
                converter.Convert(from + x * sourcePixel, to + x * targetPixel);
            std::memset(to + width * targetPixel, 0, padding);
        }
    }
    // A block the allocator does not shrink keeps its room unused.
    if (target.blockBytes < m_blockSize)
        ResizeBitmapBlock(m_pBMI, target.blockBytes);
    StoreInfoHeader(m_pBMI.get(), header);
    BitmapBlock block = std::move(m_pBMI);
    Adopt(std::move(block), target.blockBytes);
    return 1;
}
