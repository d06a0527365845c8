#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "bitmap/cdib.h"

namespace {

using Grid = std::vector<std::vector<std::uint32_t>>;  // raw pixel values, top row first

CDIB FromGrid(const Grid& grid, int bits, std::uint32_t factor) {
    CDIB dib(static_cast<int>(grid[0].size()), static_cast<int>(grid.size()), bits);
    for (std::size_t y = 0; y < grid.size(); ++y) {
        for (std::size_t x = 0; x < grid[y].size(); ++x) {
            dib.SetPixelValue(static_cast<int>(x), static_cast<int>(y), grid[y][x] * factor);
        }
    }
    return dib;
}

struct Turn {
    const char* name;
    std::function<int(CDIB&)> apply;
    Grid expected;  // for the source {{1, 2, 3}, {4, 5, 6}}
};

const Turn kTurns[] = {
    {"Rotate90", &CDIB::Rotate90, {{4, 1}, {5, 2}, {6, 3}}},
    {"Rotate180", &CDIB::Rotate180, {{6, 5, 4}, {3, 2, 1}}},
    {"Rotate270", &CDIB::Rotate270, {{3, 6}, {2, 5}, {1, 4}}},
    {"FlipVertical", &CDIB::FlipVertical, {{4, 5, 6}, {1, 2, 3}}},
    {"FlipHorizontal", &CDIB::FlipHorizontal, {{3, 2, 1}, {6, 5, 4}}},
};

TEST(CdibTurns, EveryTurnMovesRawPixelsAndKeepsThePalette) {
    // The factors spread each value over all bytes of its pixel (the fourth byte of 32 too).
    const std::pair<int, std::uint32_t> kDepths[] = {
        {8, 1}, {16, 0x0101}, {24, 0x010101}, {32, 0x01010101}};
    for (const Turn& turn : kTurns) {
        for (const auto& [bits, factor] : kDepths) {
            SCOPED_TRACE(testing::Message() << turn.name << " at " << bits << " bits");
            CDIB dib = FromGrid({{1, 2, 3}, {4, 5, 6}}, bits, factor);
            std::uint8_t next = 0;
            for (std::uint8_t& v : dib.GetColorTable())
                v = ++next;
            const std::vector<std::uint8_t> table(dib.GetColorTable().begin(),
                                                  dib.GetColorTable().end());
            ASSERT_EQ(turn.apply(dib), 1);
            EXPECT_TRUE(
                std::ranges::equal(FromGrid(turn.expected, bits, factor).GetBits(), dib.GetBits()));
            EXPECT_TRUE(std::ranges::equal(dib.GetColorTable(), table));
        }
    }
}

TEST(CdibTurns, RefusedWhereRawPixelsCannotMove) {
    for (const Turn& turn : kTurns) {
        for (int bits : {1, 4, 0}) {
            CDIB dib(3, 2, bits);
            EXPECT_EQ(turn.apply(dib), 0) << turn.name << " at " << bits;
            EXPECT_EQ(dib.GetBitCount(), bits);
        }
    }
}

}  // namespace
