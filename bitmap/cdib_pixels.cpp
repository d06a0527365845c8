// Pixel access by depth.
#include "bitmap/cdib.h"
#include "platform/byte_order.h"

using platform::kBiBitfields;
using platform::kInfoHeaderSize;

namespace {

// Widest squared colour distance (exclusive) at which the nearest-colour search takes an entry.
constexpr int kNearestColourLimit = 193;

}  // namespace

bool CDIB::Contains(int x, int y) const {
    return !IsEmpty() && x >= 0 && y >= 0 && x < m_header.biWidth && y < m_header.biHeight;
}

std::uint8_t* CDIB::RowAt(int y) const {
    return m_pBits + static_cast<std::size_t>(m_header.biHeight - 1 - y) * GetStride();
}

std::array<BitfieldMask, 3> CDIB::ChannelMasks() const {
    if (m_header.biCompression != kBiBitfields)
        return {kRed555, kGreen555, kBlue555};
    const std::uint8_t* masks = m_pBMI.get() + kInfoHeaderSize;
    std::array<BitfieldMask, 3> result{};
    for (int i = 0; i < 3; ++i) {
        // Masks were checked when the block was made; an unusable one reads as an absent channel.
        result[i] =
            DescribeBitfieldMask(platform::LoadLe32(masks + 4 * i), 16).value_or(BitfieldMask{});
    }
    return result;
}

void CDIB::ReadColor(int x, int y, std::uint8_t* r, std::uint8_t* g, std::uint8_t* b) const {
    const std::uint8_t* row = RowAt(y);
    const std::uint8_t* palette = m_pBMI.get() + kInfoHeaderSize;
    auto fromPalette = [&](unsigned index) {
        const std::uint8_t* entry = palette + 4 * index;
        *b = entry[0];
        *g = entry[1];
        *r = entry[2];
    };
    switch (m_header.biBitCount) {
        case 1:
            fromPalette((row[x / 8] >> (7 - x % 8)) & 1u);
            break;
        case 4:
            fromPalette((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 15u);
            break;
        case 8:
            fromPalette(row[x]);
            break;
        case 16: {
            const std::uint32_t word = platform::LoadLe16(row + 2 * x);
            const std::array<BitfieldMask, 3> masks = ChannelMasks();
            *r = masks[0].Expand(word);
            *g = masks[1].Expand(word);
            *b = masks[2].Expand(word);
            break;
        }
        case 24:
        case 32: {
            const std::uint8_t* pixel =
                row + static_cast<std::size_t>(x) * (m_header.biBitCount / 8);
            *b = pixel[0];
            *g = pixel[1];
            *r = pixel[2];
            break;
        }
        default:
            *r = *g = *b = 0;
    }
}

int CDIB::GetPixel(int x, int y, std::uint8_t* r, std::uint8_t* g, std::uint8_t* b) const {
    const int bits = GetBitCount();
    if (!Contains(x, y) || (bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return 0;
    ReadColor(x, y, r, g, b);
    return 1;
}

int CDIB::SetPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const int bits = GetBitCount();
    if (!Contains(x, y))
        return 0;
    std::uint8_t* row = RowAt(y);
    switch (bits) {
        case 8: {
            const std::uint8_t* palette = m_pBMI.get() + kInfoHeaderSize;
            int best = kNearestColourLimit;
            int bestIndex = 0;
            for (int i = 0; i < 256; ++i) {
                const std::uint8_t* entry = palette + 4 * i;
                const int db = entry[0] - b;
                const int dg = entry[1] - g;
                const int dr = entry[2] - r;
                const int distance = dr * dr + dg * dg + db * db;
                if (distance < best) {
                    best = distance;
                    bestIndex = i;
                }
            }
            row[x] = static_cast<std::uint8_t>(bestIndex);
            return 1;
        }
        case 16: {
            const std::array<BitfieldMask, 3> masks = ChannelMasks();
            const std::uint32_t word = masks[0].Pack(r) | masks[1].Pack(g) | masks[2].Pack(b);
            platform::StoreLe16(row + 2 * x, static_cast<std::uint16_t>(word));
            return 1;
        }
        case 24:
        case 32: {
            std::uint8_t* pixel = row + static_cast<std::size_t>(x) * (bits / 8);
            pixel[0] = b;
            pixel[1] = g;
            pixel[2] = r;
            if (bits == 32)
                pixel[3] = 0;
            return 1;
        }
        default:
            return 0;
    }
}

int CDIB::SetPixelValue(int x, int y, std::uint32_t value) {
    if (!Contains(x, y))
        return 0;
    std::uint8_t* row = RowAt(y);
    switch (GetBitCount()) {
        case 8:
            row[x] = static_cast<std::uint8_t>(value & 0xFF);
            return 1;
        case 16:
            platform::StoreLe16(row + 2 * x, static_cast<std::uint16_t>(value & 0xFFFF));
            return 1;
        case 24: {
            std::uint8_t* pixel = row + 3 * static_cast<std::size_t>(x);
            pixel[0] = static_cast<std::uint8_t>(value & 0xFF);
            pixel[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
            pixel[2] = static_cast<std::uint8_t>((value >> 16) & 0xFF);
            return 1;
        }
        case 32:
            platform::StoreLe32(row + 4 * static_cast<std::size_t>(x), value);
            return 1;
        default:
            return 0;
    }
}
