#include <gtest/gtest.h>

#include <array>

#include "bitmap/cdib.h"

namespace {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << int{c.r} << "," << int{c.g} << "," << int{c.b} << ")";
}

Rgb PixelOf(const CDIB& dib, int x, int y) {
    Rgb c;
    EXPECT_EQ(dib.GetPixel(x, y, &c.r, &c.g, &c.b), 1) << x << "," << y;
    return c;
}

void SetEntry(CDIB& dib, int index, Rgb c) {
    auto* entry = dib.GetColorTable().data() + 4 * index;
    entry[0] = c.b;
    entry[1] = c.g;
    entry[2] = c.r;
}

// Raw bytes of pixel (x, y), y from the top: rows are stored bottom-up.
const std::uint8_t* RawPixel(const CDIB& dib, int x, int y) {
    return dib.GetBits().data() + (dib.GetHeight() - 1 - y) * dib.GetStride() +
           x * dib.GetBitCount() / 8;
}

TEST(CdibPixels, SetThenGetAtEachDepth) {
    struct Case {
        int bits;
        Rgb written, read;
        std::vector<std::uint8_t> raw;
    };
    const Case kCases[] = {
        {16, {255, 128, 7}, {248, 128, 0}, {0x00, 0x7E}},
        {16, {8, 16, 255}, {8, 16, 248}, {0x5F, 0x04}},
        {24, {1, 2, 3}, {1, 2, 3}, {3, 2, 1}},
        {32, {1, 2, 3}, {1, 2, 3}, {3, 2, 1, 0}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.bits);
        CDIB dib(3, 2, c.bits);
        ASSERT_EQ(dib.SetPixel(2, 0, c.written.r, c.written.g, c.written.b), 1);
        EXPECT_EQ(PixelOf(dib, 2, 0), c.read);
        EXPECT_TRUE(std::equal(c.raw.begin(), c.raw.end(), RawPixel(dib, 2, 0)));
        EXPECT_EQ(PixelOf(dib, 2, 1), Rgb{});  // the row below is untouched
    }
}

TEST(CdibPixels, RowsAreAddressedTopDownAndStoredBottomUp) {
    CDIB dib(3, 2, 24);
    dib.SetPixel(0, 0, 10, 20, 30);
    // Top row is the last stored row: stride 12, so bytes 12..14.
    EXPECT_EQ(dib.GetBits()[12], 30);
    EXPECT_EQ(dib.GetBits()[13], 20);
    EXPECT_EQ(dib.GetBits()[14], 10);
}

TEST(CdibPixels, NearestColourSearchForEightBits) {
    CDIB dib(2, 2, 8);
    SetEntry(dib, 0, {200, 200, 200});
    for (int i = 1; i < 256; ++i) SetEntry(dib, i, {0, 255, 0});
    SetEntry(dib, 7, {100, 100, 100});
    SetEntry(dib, 8, {100, 100, 100});
    SetEntry(dib, 200, {255, 0, 0});
    struct Case {
        const char* name;
        Rgb colour;
        int index;
    };
    const Case kCases[] = {
        {"nothing closer than 193 gives index 0", {10, 10, 10}, 0},
        {"distance 192 to entry 7", {108, 108, 108}, 7},
        {"distance 193 is refused", {112, 107, 100}, 0},
        {"first of equal entries wins", {100, 100, 100}, 7},
        {"nearest of several", {250, 5, 0}, 200},
    };
    for (const Case& c : kCases) {
        dib.SetPixelValue(1, 1, 99);
        ASSERT_EQ(dib.SetPixel(1, 1, c.colour.r, c.colour.g, c.colour.b), 1) << c.name;
        EXPECT_EQ(*RawPixel(dib, 1, 1), c.index) << c.name;
    }
}

TEST(CdibPixels, RefusedPositionsAndDepths) {
    struct Case {
        int bits, x, y;
    };
    const Case kCases[] = {{24, 3, 0}, {24, 0, 2}, {24, -1, 0}, {24, 0, -1},
                           {1, 0, 0},  {4, 0, 0},  {8, 3, 1}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.bits << " at " << c.x << "," << c.y);
        CDIB dib(3, 2, c.bits);
        std::uint8_t r = 7, g = 7, b = 7;
        EXPECT_EQ(dib.GetPixel(c.x, c.y, &r, &g, &b), 0);
        EXPECT_EQ(r + g + b, 21);  // outputs untouched
        EXPECT_EQ(dib.SetPixel(c.x, c.y, 1, 2, 3), 0);
        EXPECT_EQ(dib.SetPixelValue(c.x, c.y, 5), 0);
        for (std::uint8_t byte : dib.GetBits()) ASSERT_EQ(byte, 0);
    }
    CDIB empty(0, 0, 0);
    std::uint8_t r = 0, g = 0, b = 0;
    EXPECT_EQ(empty.GetPixel(0, 0, &r, &g, &b), 0);
    EXPECT_EQ(empty.SetPixel(0, 0, 1, 2, 3), 0);
    EXPECT_EQ(empty.SetPixelValue(0, 0, 1), 0);
}

TEST(CdibPixels, SetPixelValueWritesRawBits) {
    struct Case {
        int bits;
        std::uint32_t value;
        std::vector<std::uint8_t> raw;
    };
    const Case kCases[] = {
        {8, 0x123456AB, {0xAB}},
        {16, 0x1234ABCD, {0xCD, 0xAB}},
        {24, 0x00FF8001, {0x01, 0x80, 0xFF}},
        {32, 0xA1B2C3D4, {0xD4, 0xC3, 0xB2, 0xA1}},
    };
    for (const Case& c : kCases) {
        CDIB dib(3, 2, c.bits);
        ASSERT_EQ(dib.SetPixelValue(1, 1, c.value), 1) << c.bits;
        EXPECT_TRUE(std::equal(c.raw.begin(), c.raw.end(), RawPixel(dib, 1, 1))) << c.bits;
    }
}

TEST(CdibChangeBitDepth, ConvertsThroughColoursAndRefusesWhatItCannotHonour) {
    CDIB palette(3, 2, 8);
    SetEntry(palette, 5, {200, 100, 50});
    palette.SetPixelValue(2, 1, 5);

    CDIB to24 = palette;
    ASSERT_EQ(to24.ChangeBitDepth(24), 1);
    EXPECT_EQ(to24.GetBitCount(), 24);
    EXPECT_EQ(PixelOf(to24, 2, 1), (Rgb{200, 100, 50}));
    EXPECT_EQ(PixelOf(to24, 0, 0), Rgb{});

    CDIB to16 = to24;
    ASSERT_EQ(to16.ChangeBitDepth(16), 1);
    EXPECT_EQ(PixelOf(to16, 2, 1), (Rgb{200, 96, 48}));
    ASSERT_EQ(to16.ChangeBitDepth(32), 1);
    EXPECT_EQ(PixelOf(to16, 2, 1), (Rgb{200, 96, 48}));

    const std::vector<std::uint8_t> before(to24.GetBlock().begin(), to24.GetBlock().end());
    EXPECT_EQ(to24.ChangeBitDepth(24), 1);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), to24.GetBlock().begin()));

    struct Refusal {
        int from, to;
    };
    const Refusal kRefused[] = {{24, 8}, {16, 8}, {4, 24}, {1, 24}, {24, 12}, {24, 4}, {24, 0}};
    for (const Refusal& r : kRefused) {
        CDIB dib(3, 2, r.from);
        const std::vector<std::uint8_t> block(dib.GetBlock().begin(), dib.GetBlock().end());
        EXPECT_EQ(dib.ChangeBitDepth(r.to), 0) << r.from << " -> " << r.to;
        EXPECT_TRUE(std::equal(block.begin(), block.end(), dib.GetBlock().begin(),
                               dib.GetBlock().end()));
    }
    CDIB eight(2, 2, 8);
    EXPECT_EQ(eight.ChangeBitDepth(8), 1);
}

}  // namespace
