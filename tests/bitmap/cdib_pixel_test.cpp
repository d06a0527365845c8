#include <gtest/gtest.h>

#include <algorithm>

#include "bitmap/cdib.h"

namespace {

using Rgb = std::array<int, 3>;

Rgb PixelOf(const CDIB& dib, int x, int y) {
    std::uint8_t r = 0, g = 0, b = 0;
    EXPECT_EQ(dib.GetPixel(x, y, &r, &g, &b), 1);
    return {r, g, b};
}

void SetEntry(CDIB& dib, int index, Rgb c) {
    std::uint8_t* entry = dib.GetColorTable().data() + 4 * index;
    for (int i = 0; i < 3; ++i)
        entry[i] = static_cast<std::uint8_t>(c[2 - i]);
}

// Raw bytes of pixel (x, y), y from the top: rows are stored bottom-up.
std::vector<std::uint8_t> Raw(const CDIB& dib, int x, int y) {
    const std::size_t bytes = static_cast<std::size_t>(dib.GetBitCount() / 8);
    const std::uint8_t* p =
        dib.GetBits().data() + (dib.GetHeight() - 1 - y) * dib.GetStride() + x * bytes;
    return {p, p + bytes};
}

TEST(CdibPixels, ValuesAtEachDepth) {
    struct Case {
        int bits;
        Rgb written, read;
        std::vector<std::uint8_t> raw;
        std::uint32_t value;  // SetPixelValue of this gives `raw` too
    };
    const Case kCases[] = {
        {16, {255, 128, 7}, {248, 128, 0}, {0x00, 0x7E}, 0xABCD7E00},
        {16, {8, 16, 255}, {8, 16, 248}, {0x5F, 0x04}, 0x045F},
        {24, {1, 2, 3}, {1, 2, 3}, {3, 2, 1}, 0xFF010203},
        {32, {1, 2, 3}, {1, 2, 3}, {3, 2, 1, 0}, 0x00010203},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.bits);
        CDIB dib(3, 2, c.bits);
        ASSERT_EQ(dib.SetPixel(2, 0, static_cast<std::uint8_t>(c.written[0]),
                               static_cast<std::uint8_t>(c.written[1]),
                               static_cast<std::uint8_t>(c.written[2])),
                  1);
        EXPECT_EQ(PixelOf(dib, 2, 0), c.read);
        EXPECT_EQ(Raw(dib, 2, 0), c.raw);
        EXPECT_EQ(PixelOf(dib, 2, 1), (Rgb{0, 0, 0}));
        ASSERT_EQ(dib.SetPixelValue(0, 1, c.value), 1);
        EXPECT_EQ(Raw(dib, 0, 1), c.raw);
    }
}

TEST(CdibPixels, NearestColourSearchForEightBits) {
    CDIB dib(2, 2, 8);
    SetEntry(dib, 0, {200, 200, 200});
    for (int i = 1; i < 256; ++i)
        SetEntry(dib, i, {0, 255, 0});
    SetEntry(dib, 7, {100, 100, 100});
    SetEntry(dib, 8, {100, 100, 100});
    SetEntry(dib, 200, {255, 0, 0});
    struct Case {
        Rgb colour;
        std::uint8_t index;
    };
    // Nothing closer than 193 gives 0; distance 192 takes entry 7, 193 does not; the first of
    // equal entries wins.
    const Case kCases[] = {{{10, 10, 10}, 0},
                           {{108, 108, 108}, 7},
                           {{112, 107, 100}, 0},
                           {{100, 100, 100}, 7},
                           {{250, 5, 0}, 200}};
    for (const Case& c : kCases) {
        dib.SetPixelValue(1, 1, 99);
        dib.SetPixel(1, 1, static_cast<std::uint8_t>(c.colour[0]),
                     static_cast<std::uint8_t>(c.colour[1]),
                     static_cast<std::uint8_t>(c.colour[2]));
        EXPECT_EQ(Raw(dib, 1, 1)[0], c.index) << c.colour[0];
    }
}

TEST(CdibPixels, RefusedPositionsAndDepths) {
    const std::array<int, 3> kCases[] = {{24, 3, 0}, {24, 0, 2}, {24, -1, 0},
                                         {1, 0, 0},  {4, 0, 0},  {0, 0, 0}};
    for (const auto& [bits, x, y] : kCases) {
        CDIB dib(3, 2, bits);
        std::uint8_t r = 7, g = 7, b = 7;
        EXPECT_EQ(dib.GetPixel(x, y, &r, &g, &b) + dib.SetPixel(x, y, 1, 2, 3) +
                      dib.SetPixelValue(x, y, 5),
                  0)
            << bits << " at " << x << "," << y;
        EXPECT_EQ(r + g + b, 21);
        EXPECT_TRUE(std::ranges::all_of(dib.GetBits(), [](std::uint8_t v) { return v == 0; }));
    }
}

TEST(CdibChangeBitDepth, ConvertsThroughColoursAndRefusesWhatItCannotHonour) {
    CDIB dib(3, 2, 8);
    SetEntry(dib, 5, {200, 100, 50});
    dib.SetPixelValue(2, 1, 5);
    const struct {
        int bits;
        Rgb colour;
    } kSteps[] = {
        {24, {200, 100, 50}}, {16, {200, 96, 48}}, {32, {200, 96, 48}}, {32, {200, 96, 48}}};
    for (const auto& step : kSteps) {
        ASSERT_EQ(dib.ChangeBitDepth(step.bits), 1) << step.bits;
        EXPECT_EQ(dib.GetBitCount(), step.bits);
        EXPECT_EQ(PixelOf(dib, 2, 1), step.colour) << step.bits;
        EXPECT_EQ(PixelOf(dib, 0, 0), (Rgb{0, 0, 0}));
    }
    const std::array<int, 2> kRefused[] = {{24, 8}, {16, 8}, {4, 24}, {1, 24}, {24, 12}, {24, 0}};
    for (const auto& [from, to] : kRefused) {
        CDIB picture(3, 2, from);
        const std::vector<std::uint8_t> block(picture.GetBlock().begin(), picture.GetBlock().end());
        EXPECT_EQ(picture.ChangeBitDepth(to), 0) << from << " -> " << to;
        EXPECT_TRUE(std::ranges::equal(picture.GetBlock(), block));
    }
}

}  // namespace
