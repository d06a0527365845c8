#include <gtest/gtest.h>

#include <algorithm>

#include "bitmap/cdib.h"

namespace {

TEST(CdibCreate, SizesDepthsAndRefusals) {
    struct Case {
        int width, height, bits;
        std::size_t stride, tableBytes;  // stride 0: refused
    };
    const Case kCases[] = {
        {3, 2, 24, 12, 0}, {33, 1, 1, 8, 8},   {5, 3, 4, 4, 64},   {7, 2, 8, 8, 1024},
        {3, 2, 16, 8, 0},  {3, 2, 32, 12, 0},  {10, 10, 12, 0, 0}, {10, 10, 0, 0, 0},
        {0, 10, 24, 0, 0}, {10, -1, 24, 0, 0}, {10, 10, 33, 0, 0}, {1 << 30, 1 << 30, 32, 0, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits);
        CDIB dib(4, 4, 24);
        ASSERT_EQ(dib.Create(c.width, c.height, c.bits), c.stride != 0 ? 1 : 0);
        if (c.stride == 0) {
            EXPECT_TRUE(dib.IsEmpty());
            EXPECT_TRUE(dib.GetBlock().empty());
            continue;
        }
        EXPECT_EQ(dib.GetStride(), c.stride);
        EXPECT_EQ(dib.GetColorTable().size(), c.tableBytes);
        EXPECT_EQ(dib.GetBlock().size(),
                  40 + c.tableBytes + c.stride * static_cast<std::size_t>(c.height));
        EXPECT_EQ(dib.GetBitCount(), c.bits);
        for (std::uint8_t byte : dib.GetBlock().subspan(40))
            ASSERT_EQ(byte, 0);
    }
}

TEST(CdibCopy, DeepCopyIntoAnyPictureAndRefusalOfEmpty) {
    CDIB source(5, 3, 8);
    source.GetColorTable()[4 * 9 + 2] = 200;  // entry 9: red 200
    source.SetPixelValue(4, 2, 9);
    for (CDIB target : {CDIB(5, 3, 8), CDIB(2, 2, 24), CDIB(1, 1, 0)}) {
        ASSERT_EQ(target.CopyFrom(source), 1);
        EXPECT_TRUE(std::ranges::equal(target.GetBlock(), source.GetBlock()));
        target.SetPixelValue(4, 2, 0);
        std::uint8_t r = 0, g, b;
        source.GetPixel(4, 2, &r, &g, &b);
        EXPECT_EQ(r, 200);  // the copy shares nothing
    }
    CDIB target(3, 3, 24);
    const std::vector<std::uint8_t> before(target.GetBlock().begin(), target.GetBlock().end());
    EXPECT_EQ(target.CopyFrom(CDIB(0, 0, 0)), 0);
    EXPECT_TRUE(std::ranges::equal(target.GetBlock(), before));
}

}  // namespace
