#include "apps/mimeo/transparency.h"

#include <gtest/gtest.h>

#include "apps/mimeo/colour_reduction.h"
#include "mimeo_test_pictures.h"

namespace {

// An 8-bit picture on the fixed palette holding `indices`.
PackedDib OnFixedPalette(const Bytes& indices) {
    PackedDib image = *NewPackedDib(static_cast<int>(indices.size()), 1, 8);
    for (int i = 0; i < 256; ++i) {
        const PaletteColour c = FixedPalette()[static_cast<std::size_t>(i)];
        image[40 + 4 * static_cast<std::size_t>(i)] = c.blue;
        image[41 + 4 * static_cast<std::size_t>(i)] = c.green;
        image[42 + 4 * static_cast<std::size_t>(i)] = c.red;
    }
    std::copy(indices.begin(), indices.end(), image.begin() + 1064);
    return image;
}

std::vector<int> Flagged(const PackedDib& image) {
    std::vector<int> flagged;
    for (int i = 0; i < 256; ++i) {
        if (image[40 + 4 * static_cast<std::size_t>(i) + 3] == 255)
            flagged.push_back(i);
    }
    return flagged;
}

TEST(MarkTransparent, FlagsEntriesWithinTheTolerance) {
    struct Case {
        const char* name;
        ColourKey key;  // blue, green, red
        int tolerance;
        std::vector<int> flagged;
    };
    const Case cases[] = {
        {"exact cube colour", {51, 0, 0}, 0, {2}},
        {"pure blue at 0", {255, 0, 0}, 0, {0, 6}},
        {"nothing near", {20, 20, 40}, 0, {}},
        {"within 36 of grey 12", {12, 12, 12}, 36, {1, 217, 218, 219, 220, 221}},
    };
    for (const Case& c : cases) {
        PackedDib image = OnFixedPalette({1, 2, 3});
        ASSERT_TRUE(MarkTransparent(image, c.key, c.tolerance));
        EXPECT_EQ(Flagged(image), c.flagged) << c.name;
    }
    // Sensitivity 100 (tolerance 300) from black: pure blue, the 56 cube colours whose steps
    // add up to at most 5, and the 17 greys up to 96.
    PackedDib wide = OnFixedPalette({1});
    ASSERT_TRUE(MarkTransparent(wide, {0, 0, 0}, 300));
    EXPECT_EQ(Flagged(wide).size(), 1u + 56 + 17);

    PackedDib image = OnFixedPalette({1});
    ASSERT_TRUE(MarkTransparentColorRef(image, 0x00FF0000, 0)) << "blue in the third byte";
    EXPECT_EQ(Flagged(image), (std::vector<int>{0, 6}));
    ASSERT_TRUE(MarkTransparent(image, {0, 0, 51}, 0));
    EXPECT_EQ(Flagged(image), (std::vector<int>{0, 6, 37})) << "marks add up";
    EXPECT_EQ(FirstTransparentColour(image)->blue, 255);
    ASSERT_TRUE(ClearTransparency(image));
    EXPECT_TRUE(Flagged(image).empty());
    EXPECT_FALSE(FirstTransparentColour(image));

    PackedDib deep = *NewPackedDib(2, 2, 24);
    EXPECT_FALSE(MarkTransparent(deep, {0, 0, 0}, 10));
    EXPECT_FALSE(ClearTransparency(deep));
}

TEST(KeepIndexZeroTransparent, OpaquePixelsLeaveIndexZeroWithTheirColour) {
    struct Case {
        const char* name;
        Bytes indices;
        bool zeroFlagged;
        Bytes expected;
    };
    const Case cases[] = {
        {"moved to the first unused index", {0, 1, 0, 3}, false, {2, 1, 2, 3}},
        {"a transparent entry 0 keeps its pixels", {0, 1, 0, 3}, true, {0, 1, 0, 3}},
        {"unused entry 0", {1, 2}, false, {1, 2}},
    };
    for (const Case& c : cases) {
        PackedDib image = OnFixedPalette(c.indices);
        image[43] = c.zeroFlagged ? 255 : 0;
        KeepIndexZeroTransparent(image);
        EXPECT_EQ(Bytes(image.begin() + 1064, image.end()), c.expected) << c.name;
        EXPECT_EQ(image[43], 255) << c.name;
        for (std::size_t k = 0; k < c.indices.size(); ++k) {
            const std::uint8_t before = c.indices[k], after = image[1064 + k];
            EXPECT_EQ(image[40 + 4 * after], FixedPalette()[before].blue) << c.name;
        }
    }
    // Every index in use: index 0's pixels go to the nearest opaque colour.
    Bytes all(256);
    for (int i = 0; i < 256; ++i)
        all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    PackedDib full = OnFixedPalette(all);
    KeepIndexZeroTransparent(full);
    EXPECT_EQ(full[1064], 6) << "pure blue's nearest is the cube's blue";
}

}  // namespace
