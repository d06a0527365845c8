#include "engine/files/display_conversion.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/files/image_decoder.h"
#include "engine/files/load_error.h"
#include "platform/display_depth.h"
#include "tests/engine/files/test_bitmaps.h"

namespace {

// Two pixels, p0 = (blue 0x12, green 0x34, red 0x56) and p1 = (0xFF, 0x80, 0x01), in every
// source format, and what each display depth makes of them.
constexpr std::uint16_t kP0As565 = 0x51A2;
constexpr std::uint16_t kP1As565 = 0x041F;
constexpr std::uint16_t kP0As555 = 0x28C2;
constexpr std::uint16_t kP1As555 = 0x021F;
constexpr std::uint16_t kP0As565From555 = 0x5182;  // green keeps only its five bits

enum class Source { Bgr24, Bgrx32, Rgb565, Rgb555 };

// A 2 x 2 record: bottom row p0 p1, top row p1 p0 (stored top-down when `topDown`).
std::vector<std::uint8_t> TwoByTwoRecord(Source source, bool topDown) {
    std::vector<std::uint8_t> rows;
    auto pixel = [&](int which) {
        switch (source) {
        case Source::Bgr24:
        case Source::Bgrx32:
            if (which == 0) rows.insert(rows.end(), {0x12, 0x34, 0x56}); else rows.insert(rows.end(), {0xFF, 0x80, 0x01});
            if (source == Source::Bgrx32) rows.push_back(0xEE);
            break;
        case Source::Rgb565:
            Append(rows, which == 0 ? &kP0As565 : &kP1As565, 2);
            break;
        case Source::Rgb555:
            Append(rows, which == 0 ? &kP0As555 : &kP1As555, 2);
            break;
        }
    };
    auto row = [&](int first, int second) {
        pixel(first);
        pixel(second);
        while (rows.size() % 4 != 0) rows.push_back(0xCC);  // padding
    };
    if (topDown) {
        row(1, 0);
        row(0, 1);
    } else {
        row(0, 1);
        row(1, 0);
    }
    const int height = topDown ? -2 : 2;
    switch (source) {
    case Source::Bgr24:
        return MakeRecord(MakeHeader(2, height, 24), {}, rows, true);
    case Source::Bgrx32:
        return MakeRecord(MakeHeader(2, height, 32), {}, rows, false);
    case Source::Rgb565:
        return MakeRecord(MakeHeader(2, height, 16, 3), Masks565(), rows, true);
    case Source::Rgb555:
        return MakeRecord(MakeHeader(2, height, 16), {}, rows, false);
    }
    return {};
}

// The expected stored rows (bottom row first, padded) of p0 p1 / p1 p0 at a display depth.
std::vector<std::uint8_t> ExpectedRows(int depth, bool fromSixteenBits, bool fromFiveFiveFive) {
    std::vector<std::uint8_t> p0;
    std::vector<std::uint8_t> p1;
    if (depth == 24 && !fromSixteenBits) {
        p0 = {0x12, 0x34, 0x56};
        p1 = {0xFF, 0x80, 0x01};
    } else if (depth == 24 && fromFiveFiveFive) {
        p0 = {0x10, 0x30, 0x50};
        p1 = {0xF8, 0x80, 0x00};
    } else if (depth == 24) {
        p0 = {0x10, 0x34, 0x50};
        p1 = {0xF8, 0x80, 0x00};
    } else {
        const std::uint16_t v0 = depth == 15 ? kP0As555 : fromFiveFiveFive ? kP0As565From555 : kP0As565;
        const std::uint16_t v1 = depth == 16 ? kP1As565 : kP1As555;
        Append(p0, &v0, 2);
        Append(p1, &v1, 2);
    }
    std::vector<std::uint8_t> rows;
    for (const auto& pair : {std::pair{&p0, &p1}, std::pair{&p1, &p0}}) {
        rows.insert(rows.end(), pair.first->begin(), pair.first->end());
        rows.insert(rows.end(), pair.second->begin(), pair.second->end());
        while (rows.size() % 4 != 0) rows.push_back(0);
    }
    return rows;
}

struct ConversionCase {
    Source source;
    int display;
};

class DisplayConversion : public ::testing::Test {
protected:
    void TearDown() override { platform::ClearDisplayDepthOverride(); }
};

TEST_F(DisplayConversion, EveryTableConversionGivesExactPixelsAndHeader) {
    const ConversionCase cases[] = {
        {Source::Bgr24, 24},  {Source::Bgr24, 16},  {Source::Bgr24, 15},  {Source::Bgrx32, 24},
        {Source::Bgrx32, 16}, {Source::Bgrx32, 15}, {Source::Rgb565, 24}, {Source::Rgb565, 16},
        {Source::Rgb565, 15}, {Source::Rgb555, 24}, {Source::Rgb555, 16}, {Source::Rgb555, 15},
    };
    for (const ConversionCase& c : cases) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "source " << static_cast<int>(c.source) << " display " << c.display
                                              << (topDown ? " top-down" : ""));
            ASSERT_TRUE(platform::OverrideDisplayDepth(c.display));
            const GlobalDib dib = DecompressImage(TwoByTwoRecord(c.source, topDown));
            const BitmapInfoHeader header = dib.Header();
            EXPECT_EQ(header.width, 2);
            EXPECT_EQ(header.height, 2);
            EXPECT_EQ(header.bitCount, c.display == 24 ? 24 : 16);
            EXPECT_EQ(header.compression, c.display == 16 ? 3U : 0U);
            const bool sixteen = c.source == Source::Rgb565 || c.source == Source::Rgb555;
            const bool converted = c.display != (c.source == Source::Rgb565 ? 16 : c.source == Source::Rgb555 ? 15 : 24) ||
                                   c.source == Source::Bgrx32;
            if (converted) {
                EXPECT_EQ(header.clrUsed, c.display == 16 ? 3U : 0U);
                EXPECT_EQ(header.sizeImage, 0U);
            }
            std::size_t pixelOffset = 40;
            if (c.display == 16) {
                EXPECT_EQ(Load32(dib.Data() + 40), 0xF800U);
                EXPECT_EQ(Load32(dib.Data() + 44), 0x07E0U);
                EXPECT_EQ(Load32(dib.Data() + 48), 0x001FU);
                pixelOffset = 52;
            }
            const std::vector<std::uint8_t> expected = ExpectedRows(c.display, sixteen, c.source == Source::Rgb555);
            ASSERT_GE(dib.Size(), pixelOffset + expected.size());
            const int rowBytes = c.display == 24 ? 6 : 4;
            for (int row = 0; row < 2; ++row) {
                const std::size_t at = static_cast<std::size_t>(row) * (expected.size() / 2);
                EXPECT_EQ(std::vector<std::uint8_t>(dib.Data() + pixelOffset + at, dib.Data() + pixelOffset + at + rowBytes),
                          std::vector<std::uint8_t>(expected.begin() + at, expected.begin() + at + rowBytes))
                    << "stored row " << row;
            }
        }
    }
}

TEST_F(DisplayConversion, ProbeReadsTheDisplayFormat) {
    const std::pair<int, int> cases[] = {{8, 8}, {15, 15}, {16, 16}, {24, 24}, {32, 24}};
    for (const auto& [reported, expected] : cases) {
        ASSERT_TRUE(platform::OverrideDisplayDepth(reported));
        EXPECT_EQ(ProbeDisplayDepth(), expected) << reported;
    }
}

// A 24-bit image of four vertical colour bands, each 8 wide, 32 x 8.
std::vector<std::uint8_t> BandRows() {
    static constexpr std::uint8_t kBands[4][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}};
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 32; ++x) rows.insert(rows.end(), kBands[x / 8], kBands[x / 8] + 3);
    }
    return rows;
}

TEST_F(DisplayConversion, EightBitDisplayQuantizesThroughJpeg) {
    ASSERT_TRUE(platform::OverrideDisplayDepth(8));
    const std::vector<std::uint8_t> rows = BandRows();
    GlobalDib dib = DecompressImage(MakeRecord(MakeHeader(32, 8, 24), {}, rows, true));
    const BitmapInfoHeader header = dib.Header();
    ASSERT_EQ(header.bitCount, 8);
    EXPECT_EQ(header.clrUsed, 256U);
    EXPECT_EQ(header.height, 8);
    // Each band's middle pixel looks its colour up in the table close to the original.
    for (int band = 0; band < 4; ++band) {
        const std::uint8_t index = dib.Pixels()[4 * 32 + band * 8 + 4];
        const std::uint8_t* entry = dib.Colours() + 4 * index;
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(entry[c], rows[(band * 8 + 4) * 3 + c], 24) << "band " << band;
        EXPECT_EQ(entry[3], 0);
    }
}

TEST_F(DisplayConversion, EightBitDisplayKeepsImagesTheJpegRoundTripRefuses) {
    ASSERT_TRUE(platform::OverrideDisplayDepth(8));
    const std::vector<std::uint8_t> rows(20 * 4, 0x40);  // 6 x 4, width not a multiple of 4
    const GlobalDib dib = DecompressImage(MakeRecord(MakeHeader(6, 4, 24), {}, rows, false));
    EXPECT_EQ(dib.Header().bitCount, 24);
    EXPECT_EQ(dib.Header().width, 6);
}

TEST_F(DisplayConversion, EightBitImagesStayAsTheyAre) {
    const std::vector<std::uint8_t> pixels = {0, 1, 2, 3, 252, 253, 254, 255};
    for (int display : {8, 15, 16, 24}) {
        ASSERT_TRUE(platform::OverrideDisplayDepth(display));
        const GlobalDib dib = DecompressImage(MakeRecord(MakeHeader(4, 2, 8), GreyColourTable(), pixels, true));
        EXPECT_EQ(dib.Header().bitCount, 8) << display;
        EXPECT_EQ(std::vector<std::uint8_t>(dib.Pixels(), dib.Pixels() + 8), pixels) << display;
        EXPECT_EQ(dib.Colours()[4 * 200], 200) << display;
    }
}

TEST_F(DisplayConversion, OtherDepthsAreRefused) {
    GlobalDib dib = GlobalDib::Allocate(40 + 4);
    dib.SetHeader(MakeHeader(1, 1, 4));
    try {
        ConvertToDisplayDepth(std::move(dib), 24);
        FAIL() << "a 4-bit image was converted";
    } catch (const LoadError& error) {
        EXPECT_STREQ(error.what(), "Unsupported file fomat");
    }
}

}  // namespace
