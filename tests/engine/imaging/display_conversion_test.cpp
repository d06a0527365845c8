#include "engine/imaging/display_conversion.h"

#include <sys/resource.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/imaging/image_decoder.h"
#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "platform/display_depth.h"
#include "tests/engine/data_bytes.h"
#include "tests/engine/imaging/test_bitmaps.h"

namespace {

// Two pixels, p0 = (blue 0x12, green 0x34, red 0x56) and p1 = (0xFF, 0x80, 0x01), as each
// format stores them.
struct Format {
    int bitCount;
    std::uint32_t compression;
    std::vector<std::uint8_t> p0;
    std::vector<std::uint8_t> p1;
};

const Format k24{24, 0, {0x12, 0x34, 0x56}, {0xFF, 0x80, 0x01}};
const Format k32{32, 0, {0x12, 0x34, 0x56, 0xEE}, {0xFF, 0x80, 0x01, 0xEE}};
const Format k565{16, 3, {0xA2, 0x51}, {0x1F, 0x04}};
const Format k555{16, 0, {0xC2, 0x28}, {0x1F, 0x02}};

// Two stored rows, padded to 4 bytes: bottom p0 p1, top p1 p0.
std::vector<std::vector<std::uint8_t>> Rows(const Format& format) {
    std::vector<std::uint8_t> bottom = format.p0;
    bottom.insert(bottom.end(), format.p1.begin(), format.p1.end());
    std::vector<std::uint8_t> top = format.p1;
    top.insert(top.end(), format.p0.begin(), format.p0.end());
    return {bottom, top};
}

std::vector<std::uint8_t> TwoByTwoRecord(const Format& format) {
    std::vector<std::uint8_t> pixels;
    for (std::vector<std::uint8_t> row : Rows(format)) {
        row.resize((row.size() + 3) / 4 * 4, 0xCC);
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    const std::vector<std::uint8_t> masks =
        format.compression == 3 ? Masks565() : std::vector<std::uint8_t>{};
    return MakeRecord(MakeHeader(2, 2, format.bitCount, format.compression), masks, pixels,
                      format.bitCount == 24);
}

class DisplayConversion : public ::testing::Test {
  protected:
    void TearDown() override { platform::ClearDisplayDepthOverride(); }
};

TEST_F(DisplayConversion, EveryTableConversionGivesExactPixelsAndHeader) {
    const struct {
        const char* name;
        const Format* source;
        int display;
        Format expected;
    } cases[] = {
        {"24 on 24", &k24, 24, k24},
        {"24 on 16", &k24, 16, k565},
        {"24 on 15", &k24, 15, k555},
        {"32 on 24", &k32, 24, k24},
        {"32 on 16", &k32, 16, k565},
        {"32 on 15", &k32, 15, k555},
        {"5-6-5 on 24", &k565, 24, {24, 0, {0x10, 0x34, 0x50}, {0xF8, 0x80, 0x00}}},
        {"5-6-5 on 16", &k565, 16, k565},
        {"5-6-5 on 15", &k565, 15, k555},
        {"5-5-5 on 24", &k555, 24, {24, 0, {0x10, 0x30, 0x50}, {0xF8, 0x80, 0x00}}},
        {"5-5-5 on 16", &k555, 16, {16, 3, {0x82, 0x51}, {0x1F, 0x04}}},
        {"5-5-5 on 15", &k555, 15, k555},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(platform::OverrideDisplayDepth(c.display));
        const GlobalDib dib = DecompressImage(TwoByTwoRecord(*c.source));
        const platform::BitmapInfoHeader header = dib.Header();
        EXPECT_EQ(header.biWidth, 2) << c.name;
        EXPECT_EQ(header.biHeight, 2) << c.name;
        EXPECT_EQ(header.biBitCount, c.expected.bitCount) << c.name;
        EXPECT_EQ(header.biCompression, c.expected.compression) << c.name;
        const bool converted = c.source->bitCount != c.expected.bitCount ||
                               c.source->compression != c.expected.compression;
        if (converted) {
            EXPECT_EQ(header.biClrUsed, c.display == 16 ? 3U : 0U) << c.name;
        }
        if (c.display == 16) {
            EXPECT_EQ(Load32(dib.Colours()), 0xF800U) << c.name;
            EXPECT_EQ(Load32(dib.Colours() + 4), 0x07E0U) << c.name;
            EXPECT_EQ(Load32(dib.Colours() + 8), 0x001FU) << c.name;
        }
        const std::size_t stride = platform::DibRowStride(2, c.expected.bitCount);
        ASSERT_GE(dib.PixelBytes().size(), 2 * stride) << c.name;
        const std::vector<std::vector<std::uint8_t>> expected = Rows(c.expected);
        for (std::size_t row = 0; row < 2; ++row) {
            const std::uint8_t* stored = dib.Pixels() + row * stride;
            EXPECT_EQ(std::vector<std::uint8_t>(stored, stored + expected[row].size()),
                      expected[row])
                << c.name << ", stored row " << row;
            if (converted) {
                EXPECT_EQ(std::vector<std::uint8_t>(stored + expected[row].size(), stored + stride),
                          std::vector<std::uint8_t>(stride - expected[row].size(), 0))
                    << c.name << ", padding of stored row " << row;
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
    static constexpr std::uint8_t kBands[4][3] = {
        {0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}};
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 32; ++x)
            rows.insert(rows.end(), kBands[x / 8], kBands[x / 8] + 3);
    }
    return rows;
}

TEST_F(DisplayConversion, EightBitDisplayQuantizesThroughJpegWhereItCan) {
    ASSERT_TRUE(platform::OverrideDisplayDepth(8));
    const std::vector<std::uint8_t> rows = BandRows();
    GlobalDib dib = DecompressImage(MakeRecord(MakeHeader(32, 8, 24), {}, rows, true));
    const platform::BitmapInfoHeader header = dib.Header();
    ASSERT_EQ(header.biBitCount, 8);
    EXPECT_EQ(header.biClrUsed, 256U);
    EXPECT_EQ(header.biHeight, 8);
    // Each band's middle pixel looks its colour up in the table close to the original.
    for (int band = 0; band < 4; ++band) {
        const std::uint8_t index = dib.Pixels()[4 * 32 + band * 8 + 4];
        const std::uint8_t* entry = dib.Colours() + 4 * index;
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(entry[c], rows[(band * 8 + 4) * 3 + c], 24) << "band " << band;
        EXPECT_EQ(entry[3], 0);
    }

    // A width the JPEG round trip refuses (6, not a multiple of 4) keeps the image at 24 bits.
    const std::vector<std::uint8_t> grey(20 * 4, 0x40);
    dib = DecompressImage(MakeRecord(MakeHeader(6, 4, 24), {}, grey, false));
    EXPECT_EQ(dib.Header().biBitCount, 24);
    EXPECT_EQ(dib.Header().biWidth, 6);
}

TEST_F(DisplayConversion, EightBitImagesStayAsTheyAre) {
    const std::vector<std::uint8_t> pixels = {0, 1, 2, 3, 252, 253, 254, 255};
    for (int display : {8, 15, 16, 24}) {
        ASSERT_TRUE(platform::OverrideDisplayDepth(display));
        const GlobalDib dib =
            DecompressImage(MakeRecord(MakeHeader(4, 2, 8), GreyColourTable(), pixels, true));
        EXPECT_EQ(dib.Header().biBitCount, 8) << display;
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

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Converts a 4096 x 4096 picture for `display` (0: only encodes it as JPEG, the first half of
// the 8-bit round trip) with 24 MiB of data beyond the picture, 40 for the 8-bit round trip:
// exit status 0 when that succeeds (a refusal throws).
[[noreturn]] void ConvertWithRoom(int bitCount, std::uint32_t compression, int display) {
    constexpr int kSide = 4096;
    const std::size_t size = 52 + platform::DibRowStride(kSide, bitCount) * kSide;
    const rlimit limit{DataBytes() + size + ((display == 8 ? 40UL : 24UL) << 20), RLIM_INFINITY};
    setrlimit(RLIMIT_DATA, &limit);
    GlobalDib dib = GlobalDib::Allocate(size);
    std::memset(dib.Data(), 0x5A, size);
    dib.SetHeader(MakeHeader(kSide, kSide, bitCount, compression));
    if (display == 0)
        std::_Exit(DibToJpeg(dib, 100).empty() ? 1 : 0);
    dib = ConvertToDisplayDepth(std::move(dib), display);
    std::_Exit(dib.Header().biBitCount == display ? 0 : 1);
}

// No conversion holds a second picture (16, 32 or 48 MiB here), whether the pixels shrink or
// grow; the 8-bit round trip holds its stream (16 MiB) and the quantizer's copy (48 MiB) but
// frees the picture before it decodes the 8-bit one.
TEST_F(DisplayConversion, NoSecondPictureIsHeld) {
    const struct {
        int bitCount;
        std::uint32_t compression;
        int display;
    } cases[] = {{24, 0, 16}, {16, 3, 24}, {16, 0, 16}, {32, 0, 0}, {16, 3, 0}, {24, 0, 8}};
    for (const auto& c : cases) {
        EXPECT_EXIT(ConvertWithRoom(c.bitCount, c.compression, c.display),
                    ::testing::ExitedWithCode(0), "")
            << c.bitCount << " bits (compression " << c.compression << ") to display " << c.display;
    }
}
#endif

}  // namespace
