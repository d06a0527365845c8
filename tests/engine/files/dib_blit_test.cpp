#include "engine/files/dib_blit.h"

#include <vector>

#include <gtest/gtest.h>

#include "tests/engine/files/test_bitmaps.h"

namespace {

// Every depth draws the same 2 x 2 picture: top row red, green; bottom row blue, white (as far
// as each format holds them).
struct BlitCase {
    const char* name;
    BitmapInfoHeader header;
    std::vector<std::uint8_t> extra;
    std::vector<std::uint8_t> pixels;  // stored rows
    std::uint32_t expected[4];         // top-left, top-right, bottom-left, bottom-right
};

std::vector<std::uint8_t> Palette() {
    std::vector<std::uint8_t> table(1024, 0);
    const std::uint8_t colours[4][4] = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
    for (int i = 0; i < 4; ++i) std::copy(colours[i], colours[i] + 4, table.begin() + 4 * i);
    return table;
}

std::vector<std::uint8_t> Words(std::initializer_list<std::uint16_t> values) {
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t value : values) Append(bytes, &value, 2);
    return bytes;
}

std::vector<BlitCase> Cases() {
    const std::uint32_t full[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    std::vector<BlitCase> cases;
    auto add = [&](const char* name, BitmapInfoHeader header, std::vector<std::uint8_t> extra,
                   std::vector<std::uint8_t> pixels, const std::uint32_t (&expected)[4]) {
        BlitCase c{name, header, std::move(extra), std::move(pixels), {}};
        std::copy(expected, expected + 4, c.expected);
        cases.push_back(std::move(c));
    };
    add("8-bit", MakeHeader(2, 2, 8), Palette(), {2, 3, 0, 0, 0, 1, 0, 0}, full);
    add("8-bit top-down", MakeHeader(2, -2, 8), Palette(), {0, 1, 0, 0, 2, 3, 0, 0}, full);
    add("24-bit", MakeHeader(2, 2, 24), {}, {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0}, full);
    add("32-bit", MakeHeader(2, 2, 32), {}, {255, 0, 0, 9, 255, 255, 255, 9, 0, 0, 255, 9, 0, 255, 0, 9}, full);
    const std::uint32_t narrow[4] = {0xFFF80000, 0xFF00F800, 0xFF0000F8, 0xFFF8F8F8};
    add("5-5-5", MakeHeader(2, 2, 16), {}, Words({0x001F, 0x7FFF, 0x7C00, 0x03E0}), narrow);
    const std::uint32_t wide[4] = {0xFFF80000, 0xFF00FC00, 0xFF0000F8, 0xFFF8FCF8};
    add("5-6-5", MakeHeader(2, 2, 16, 3), Masks565(), Words({0x001F, 0xFFFF, 0xF800, 0x07E0}), wide);
    return cases;
}

TEST(DibBlit, EveryDepthDrawsTopRowFirst) {
    for (const BlitCase& c : Cases()) {
        std::vector<std::uint8_t> info;
        Append(info, &c.header, sizeof c.header);
        info.insert(info.end(), c.extra.begin(), c.extra.end());
        std::vector<std::uint32_t> surface(4, 0);
        EXPECT_EQ(BlitDib({surface.data(), 2, 2, 2}, info, c.pixels), 2) << c.name;
        EXPECT_EQ(surface, std::vector<std::uint32_t>(c.expected, c.expected + 4)) << c.name;
    }
}

TEST(DibBlit, DestinationTakesTheLowerLeftPartAndClipsToTheSurface) {
    const BlitCase c = Cases()[2];  // 24-bit
    std::vector<std::uint8_t> info;
    Append(info, &c.header, sizeof c.header);
    std::vector<std::uint32_t> surface(3 * 3, 0);
    const BlitRect oneByOne{1, 1, 2, 2};
    EXPECT_EQ(BlitDib({surface.data(), 3, 3, 3}, info, c.pixels, &oneByOne), 1);
    EXPECT_EQ(surface[4], 0xFF0000FFU) << "the bottom-left pixel";
    EXPECT_EQ(surface[0] | surface[1] | surface[5] | surface[8], 0U);

    std::vector<std::uint32_t> corner(3 * 3, 0);
    const BlitRect offEdge{2, 2, 4, 4};
    EXPECT_EQ(BlitDib({corner.data(), 3, 3, 3}, info, c.pixels, &offEdge), 1);
    EXPECT_EQ(corner[8], 0xFFFF0000U) << "top-left pixel lands in the last corner";
}

TEST(DibBlit, RefusesShortPixelsAndUnknownDepths) {
    const BlitCase c = Cases()[2];
    std::vector<std::uint8_t> info;
    Append(info, &c.header, sizeof c.header);
    std::vector<std::uint32_t> surface(4, 0);
    EXPECT_EQ(BlitDib({surface.data(), 2, 2, 2}, info, std::span(c.pixels).first(c.pixels.size() - 1)), 0);
    const BitmapInfoHeader fourBits = MakeHeader(2, 2, 4);
    std::vector<std::uint8_t> fourBitInfo;
    Append(fourBitInfo, &fourBits, sizeof fourBits);
    EXPECT_EQ(BlitDib({surface.data(), 2, 2, 2}, fourBitInfo, c.pixels), 0);
    EXPECT_EQ(surface, std::vector<std::uint32_t>(4, 0));
}

}  // namespace
