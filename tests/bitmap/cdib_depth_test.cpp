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
CDIB Patterned(int width, int height, int bits, const std::vector<std::uint32_t>& masks) {
    std::vector<std::uint8_t> packed = PackedHeader(width, height, bits, masks.empty() ? 0 : 3);
    for (std::uint32_t mask : masks)
        platform::StoreLe32(&*packed.insert(packed.end(), 4, 0), mask);
    const std::size_t size = (bits == 8 ? 1024 : 0) +
                             platform::DibRowStride(width, bits) * static_cast<std::size_t>(height);
    for (std::size_t i = 0; i < size; ++i)
        packed.push_back(static_cast<std::uint8_t>(10 + 7 * i));
    CDIB dib;
    EXPECT_EQ(dib.CreateFromPackedDib(packed), 1);
    return dib;
}

void* NoBlock(std::size_t, std::size_t) {
    return nullptr;
}

void* NoResize(void*, std::size_t) {
    return nullptr;
}

// With no block to be had, a block that must grow is left as it was, and one that need not holds
// the new pixels; with only its own block remapped, every conversion is made.
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
                CDIB expected(width, height, bits);
                for (int i = 0; i < width * height; ++i) {
                    std::uint8_t r = 0, g = 0, b = 0;
                    dib.GetPixel(i % width, i / width, &r, &g, &b);
                    expected.SetPixel(i % width, i / width, r, g, b);
                }
                const std::vector<std::uint8_t> before(dib.GetBlock().begin(),
                                                       dib.GetBlock().end());
                const bool grows = expected.GetBlock().size() > before.size();
                {
                    const ScopedBitmapBlockAllocator noMemory(&NoBlock, &NoResize);
                    ASSERT_EQ(dib.ChangeBitDepth(bits), grows ? 0 : 1);
                    EXPECT_TRUE(std::ranges::equal(
                        dib.GetBlock(),
                        grows ? std::span<const std::uint8_t>(before) : expected.GetBlock()));
                }
                const ScopedBitmapBlockAllocator noSecondBlock(&NoBlock);
                ASSERT_EQ(dib.ChangeBitDepth(bits), 1);
                EXPECT_TRUE(std::ranges::equal(dib.GetBlock(), expected.GetBlock()));
            }
        }
    }
}

}  // namespace
