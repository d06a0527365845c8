#include <gtest/gtest.h>

#include "bitmap/cdib.h"

namespace {

struct CreateCase {
    int width, height, bits;
    bool ok;
    std::size_t stride, tableBytes;
};

TEST(CdibCreate, SizesDepthsAndRefusals) {
    const CreateCase kCases[] = {
        {3, 2, 24, true, 12, 0},      {33, 1, 1, true, 8, 8},      {5, 3, 4, true, 4, 64},
        {7, 2, 8, true, 8, 1024},     {3, 2, 16, true, 8, 0},      {3, 2, 32, true, 12, 0},
        {10, 10, 12, false, 0, 0},    {10, 10, 0, false, 0, 0},    {0, 10, 24, false, 0, 0},
        {10, -1, 24, false, 0, 0},    {-3, 2, 24, false, 0, 0},    {10, 10, 33, false, 0, 0},
        {1 << 30, 1 << 30, 32, false, 0, 0},  {65536, 65536, 24, false, 0, 0},
    };
    for (const CreateCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits);
        CDIB dib(4, 4, 24);
        EXPECT_EQ(dib.Create(c.width, c.height, c.bits), c.ok ? 1 : 0);
        EXPECT_EQ(dib.IsEmpty(), !c.ok);
        if (!c.ok) {
            EXPECT_TRUE(dib.GetBlock().empty());
            EXPECT_EQ(dib.GetBitCount(), 0);
            continue;
        }
        EXPECT_EQ(dib.GetStride(), c.stride);
        EXPECT_EQ(dib.GetColorTable().size(), c.tableBytes);
        EXPECT_EQ(dib.GetBits().size(), c.stride * static_cast<std::size_t>(c.height));
        EXPECT_EQ(dib.GetBlock().size(), 40 + c.tableBytes + dib.GetBits().size());
        EXPECT_EQ(dib.GetBitCount(), c.bits);
        const BitmapInfoHeader& h = dib.GetHeader();
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biCompression, 0u);
        EXPECT_EQ(h.biSizeImage, 0u);
        for (std::uint8_t byte : dib.GetBlock().subspan(40)) ASSERT_EQ(byte, 0);
    }
}

TEST(CdibCreate, ColorTableEntries) {
    struct Case {
        int bits;
        std::uint32_t compression;
        int entries;
    };
    const Case kCases[] = {{1, 0, 2},  {4, 0, 16}, {8, 0, 256}, {16, 0, 0}, {16, 3, 3},
                           {32, 3, 3}, {32, 0, 0}, {24, 0, 0},  {24, 3, 0}, {12, 0, 0}};
    for (const Case& c : kCases) {
        EXPECT_EQ(CDIB::ColorTableEntries(c.bits, c.compression), c.entries)
            << c.bits << "/" << c.compression;
    }
}

TEST(CdibCreate, DefaultIsBlank16By16At24Bits) {
    CDIB dib;
    EXPECT_EQ(dib.GetWidth(), 16);
    EXPECT_EQ(dib.GetHeight(), 16);
    EXPECT_EQ(dib.GetBitCount(), 24);
}

TEST(CdibCopy, DeepCopyKeepsHeaderTableAndPixelsAndIsIndependent) {
    CDIB source(5, 3, 8);
    auto table = source.GetColorTable().data();
    table[4 * 9 + 2] = 200;  // entry 9 red
    source.SetPixelValue(4, 2, 9);

    for (CDIB target : {CDIB(5, 3, 8), CDIB(2, 2, 24), CDIB(1, 1, 0)}) {
        ASSERT_EQ(target.CopyFrom(source), 1);
        EXPECT_TRUE(std::equal(target.GetBlock().begin(), target.GetBlock().end(),
                               source.GetBlock().begin(), source.GetBlock().end()));
        std::uint8_t r = 0, g = 0, b = 0;
        ASSERT_EQ(target.GetPixel(4, 2, &r, &g, &b), 1);
        EXPECT_EQ(r, 200);
        target.SetPixelValue(4, 2, 0);
        ASSERT_EQ(source.GetPixel(4, 2, &r, &g, &b), 1);
        EXPECT_EQ(r, 200);
    }
}

TEST(CdibCopy, CopyOfEmptyIsRefusedAndChangesNothing) {
    CDIB empty(0, 0, 0);
    CDIB target(3, 3, 24);
    target.SetPixelValue(1, 1, 0x123456);
    EXPECT_EQ(target.CopyFrom(empty), 0);
    std::uint8_t r = 0, g = 0, b = 0;
    ASSERT_EQ(target.GetPixel(1, 1, &r, &g, &b), 1);
    EXPECT_EQ(r, 0x12);
}

}  // namespace
