// Depth conversion inside the bitmap's own block: the pixels of the one-pixel-at-a-time
// conversion into a new bitmap, with no second block to be had.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "bitmap/cdib.h"
#include "platform/byte_order.h"
#include "tests/bitmap/bmp_builder.h"

namespace {

// A bitmap whose colour table (or channel masks) and pixel bytes, row padding included, are
// all set.
CDIB Patterned(int width, int height, int bits, const std::vector<std::uint32_t>& masks = {}) {
    std::vector<std::uint8_t> packed = PackedHeader(width, height, bits, masks.empty() ? 0 : 3);
    for (std::uint32_t mask : masks)
        platform::StoreLe32(&*packed.insert(packed.end(), 4, 0), mask);
    const std::size_t table = bits == 8 ? 1024 : 0;
    const std::size_t pixels =
        platform::DibRowStride(width, bits) * static_cast<std::size_t>(height);
    for (std::size_t i = 0; i < table + pixels; ++i)
        packed.push_back(static_cast<std::uint8_t>(10 + 7 * i));
    CDIB dib;
    EXPECT_EQ(dib.CreateFromPackedDib(packed), 1);
    return dib;
}

// The conversion as the classic algorithm does it: each pixel's colour into a new bitmap.
CDIB ConvertedPixelByPixel(const CDIB& source, int bits) {
    CDIB converted(source.GetWidth(), source.GetHeight(), bits);
    for (int y = 0; y < source.GetHeight(); ++y) {
        for (int x = 0; x < source.GetWidth(); ++x) {
            std::uint8_t r = 0, g = 0, b = 0;
            source.GetPixel(x, y, &r, &g, &b);
            converted.SetPixel(x, y, r, g, b);
        }
    }
    return converted;
}

void* NoNewBlock(std::size_t, std::size_t) {
    return nullptr;
}

TEST(CdibDepth, ConvertsInsideItsOwnBlockAsPixelByPixel) {
    const struct {
        const char* name;
        int bits;
        std::vector<std::uint32_t> masks;
    } kSources[] = {
        {"8", 8, {}},   {"5-5-5", 16, {}}, {"5-6-5", 16, {0xF800, 0x07E0, 0x001F}},
        {"24", 24, {}}, {"32", 32, {}},    {"32 with masks", 32, {0xFF0000, 0xFF00, 0xFF}},
    };
    for (const auto& source : kSources) {
        for (int bits : {16, 24, 32}) {
            for (const auto& [width, height] : {std::pair{1, 1}, {3, 2}, {5, 7}, {33, 20}}) {
                if (bits == source.bits)
                    continue;
                SCOPED_TRACE(testing::Message()
                             << source.name << " -> " << bits << ", " << width << " x " << height);
                CDIB dib = Patterned(width, height, source.bits, source.masks);
                const CDIB expected = ConvertedPixelByPixel(dib, bits);
                {
                    const ScopedBitmapBlockAllocator noSecondBlock(&NoNewBlock);
                    ASSERT_EQ(dib.ChangeBitDepth(bits), 1);
                }
                EXPECT_TRUE(std::ranges::equal(dib.GetBlock(), expected.GetBlock()));
            }
        }
    }
}

TEST(CdibDepth, ABlockThatCannotGrowIsLeftAsItWas) {
    CDIB grows = Patterned(33, 20, 8);
    const std::vector<std::uint8_t> before(grows.GetBlock().begin(), grows.GetBlock().end());
    CDIB shrinks = Patterned(33, 20, 24);
    const CDIB expected = ConvertedPixelByPixel(shrinks, 16);
    const ScopedBitmapBlockAllocator noMemory(&NoNewBlock,
                                              [](void*, std::size_t) -> void* { return nullptr; });
    EXPECT_EQ(grows.ChangeBitDepth(24), 0);
    EXPECT_TRUE(std::ranges::equal(grows.GetBlock(), before));
    // A block the allocator keeps at its size holds the narrower pixels all the same.
    ASSERT_EQ(shrinks.ChangeBitDepth(16), 1);
    EXPECT_TRUE(std::ranges::equal(shrinks.GetBlock(), expected.GetBlock()));
}

}  // namespace
