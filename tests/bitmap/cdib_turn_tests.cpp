#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "bitmap/cdib.h"

namespace {

using Grid = std::vector<std::vector<std::uint32_t>>;  // raw pixel values, top row first

CDIB FromGrid(const Grid& grid, int bits) {
    CDIB dib(static_cast<int>(grid[0].size()), static_cast<int>(grid.size()), bits);
    for (std::size_t y = 0; y < grid.size(); ++y) {
        for (std::size_t x = 0; x < grid[y].size(); ++x) {
            dib.SetPixelValue(static_cast<int>(x), static_cast<int>(y), grid[y][x]);
        }
    }
    return dib;
}

Grid ToGrid(const CDIB& dib) {
    const std::size_t bytes = static_cast<std::size_t>(dib.GetBitCount() / 8);
    Grid grid(static_cast<std::size_t>(dib.GetHeight()),
              std::vector<std::uint32_t>(static_cast<std::size_t>(dib.GetWidth())));
    for (int y = 0; y < dib.GetHeight(); ++y) {
        const std::uint8_t* row =
            dib.GetBits().data() + static_cast<std::size_t>(dib.GetHeight() - 1 - y) * dib.GetStride();
        for (int x = 0; x < dib.GetWidth(); ++x) {
            std::uint32_t value = 0;
            for (std::size_t k = 0; k < bytes; ++k) value |= std::uint32_t{row[x * bytes + k]} << (8 * k);
            grid[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = value;
        }
    }
    return grid;
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

Grid Scaled(const Grid& grid, std::uint32_t factor) {
    Grid result = grid;
    for (auto& row : result) {
        for (auto& value : row) value *= factor;
    }
    return result;
}

TEST(CdibTurns, EveryTurnAtEveryDepthMovesRawPixels) {
    // Factors spread the values over all bytes of the pixel (the fourth byte of 32 bits too).
    const std::pair<int, std::uint32_t> kDepths[] = {{8, 1}, {16, 0x0101}, {24, 0x010101},
                                                     {32, 0x01010101}};
    for (const Turn& turn : kTurns) {
        for (const auto& [bits, factor] : kDepths) {
            SCOPED_TRACE(testing::Message() << turn.name << " at " << bits << " bits");
            CDIB dib = FromGrid(Scaled({{1, 2, 3}, {4, 5, 6}}, factor), bits);
            ASSERT_EQ(turn.apply(dib), 1);
            EXPECT_EQ(ToGrid(dib), Scaled(turn.expected, factor));
        }
    }
}

TEST(CdibTurns, EightBitTurnsKeepThePalette) {
    for (const Turn& turn : kTurns) {
        CDIB dib = FromGrid({{1, 2, 3}, {4, 5, 6}}, 8);
        auto* table = dib.GetColorTable().data();
        for (int i = 0; i < 1024; ++i) table[i] = static_cast<std::uint8_t>(i * 3 + 1);
        const std::vector<std::uint8_t> palette(dib.GetColorTable().begin(),
                                                dib.GetColorTable().end());
        std::uint8_t before[3] = {};
        dib.GetPixel(0, 0, &before[0], &before[1], &before[2]);
        ASSERT_EQ(turn.apply(dib), 1) << turn.name;
        EXPECT_TRUE(std::equal(palette.begin(), palette.end(), dib.GetColorTable().begin(),
                               dib.GetColorTable().end()))
            << turn.name;
        // Colour 1 now sits where the expected grid has it.
        for (std::size_t y = 0; y < turn.expected.size(); ++y) {
            for (std::size_t x = 0; x < turn.expected[y].size(); ++x) {
                if (turn.expected[y][x] != 1) continue;
                std::uint8_t after[3] = {};
                dib.GetPixel(static_cast<int>(x), static_cast<int>(y), &after[0], &after[1],
                             &after[2]);
                EXPECT_TRUE(std::equal(before, before + 3, after)) << turn.name;
            }
        }
    }
}

TEST(CdibTurns, RefusedWhereRawPixelsCannotMove) {
    for (const Turn& turn : kTurns) {
        for (int bits : {1, 4, 0}) {
            CDIB dib(3, 2, bits);
            EXPECT_EQ(turn.apply(dib), 0) << turn.name << " at " << bits;
            if (bits != 0) {
                EXPECT_EQ(dib.GetWidth(), 3);
                EXPECT_EQ(dib.GetBitCount(), bits);
            }
        }
    }
}

}  // namespace
