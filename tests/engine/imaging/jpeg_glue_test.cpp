#include "engine/imaging/jpeg_glue.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/imaging/pixel_formats.h"
#include "tests/engine/imaging/test_bitmaps.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 32;

// A smooth picture (gradients and a soft disc), bottom-up 24-bit rows.
std::vector<std::uint8_t> SmoothPicture() {
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double dx = x - 40.0;
            const double dy = y - 16.0;
            const double disc = std::exp(-(dx * dx + dy * dy) / 60.0);
            rows.push_back(static_cast<std::uint8_t>(40 + 3 * x));
            rows.push_back(static_cast<std::uint8_t>(60 + 5 * y));
            rows.push_back(static_cast<std::uint8_t>(30 + 200 * disc));
        }
    }
    return rows;
}

double Psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    if (sum == 0)
        return 99;
    return 10 * std::log10(255.0 * 255.0 * static_cast<double>(a.size()) / sum);
}

// The picture of a GlobalDib as packed bottom-up blue, green, red rows.
std::vector<std::uint8_t> AsBgr(const GlobalDib& dib) {
    const platform::BitmapInfoHeader header = dib.Header();
    const platform::PixelFormatCode format = platform::DibPixelFormatCode(header);
    const std::size_t stride = platform::DibRowStride(header.biWidth, header.biBitCount);
    const std::span<const std::uint8_t> colours(dib.Colours(), header.biBitCount == 8 ? 1024 : 0);
    std::vector<std::uint8_t> bgr;
    for (int y = 0; y < std::abs(header.biHeight); ++y) {
        for (int x = 0; x < header.biWidth; ++x) {
            const BgrPixel pixel = ReadDibPixel(format, dib.Pixels() + y * stride, x, colours);
            bgr.insert(bgr.end(), {pixel.blue, pixel.green, pixel.red});
        }
    }
    return bgr;
}

// The smooth picture in a source format: header and colour table, pixels, and the picture as
// that format holds it (what a perfect round trip gives back).
struct SourceImage {
    std::vector<std::uint8_t> info;
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> expected;
};

struct SourceCase {
    const char* name;
    int bitCount;
    std::uint32_t compression;
    bool topDown;
};

SourceImage MakeSource(const SourceCase& source) {
    std::vector<std::uint8_t> smooth = SmoothPicture();
    SourceImage image;
    const platform::BitmapInfoHeader header = MakeHeader(
        kWidth, source.topDown ? -kHeight : kHeight, source.bitCount, source.compression);
    image.info = MakeRecord(header, {}, {}, false);
    if (source.bitCount == 8) {
        const std::vector<std::uint8_t> table = GreyColourTable();
        image.info.insert(image.info.end(), table.begin(), table.end());
        for (std::size_t i = 0; i < smooth.size(); i += 3) {
            image.pixels.push_back(smooth[i + 1]);
            smooth[i] = smooth[i + 2] = smooth[i + 1];
        }
    } else {
        const platform::PixelFormatCode format = platform::DibPixelFormatCode(header);
        const std::size_t stride = platform::DibRowStride(kWidth, source.bitCount);
        image.pixels.resize(stride * kHeight);
        ConvertDibPixels({platform::PixelFormatCode::Bgr24, smooth.data(), kWidth * 3, {}},
                         {format, image.pixels.data(), stride}, kWidth, kHeight, source.topDown);
        ConvertDibPixels({format, image.pixels.data(), stride, {}},
                         {platform::PixelFormatCode::Bgr24, smooth.data(), kWidth * 3}, kWidth,
                         kHeight, source.topDown);
    }
    image.expected = smooth;
    return image;
}

constexpr SourceCase kSources[] = {
    {"8-bit", 8, 0, false},   {"5-5-5", 16, 0, false},  {"5-6-5", 16, 3, false},
    {"24-bit", 24, 0, false}, {"32-bit", 32, 0, false}, {"24-bit top-down", 24, 0, true},
};

TEST(JpegGlue, RoundTripsFromEverySourceDepthStayClose) {
    const std::pair<int, double> qualities[] = {{50, 30.0}, {75, 32.0}, {95, 38.0}};
    for (const SourceCase& source : kSources) {
        const SourceImage image = MakeSource(source);
        for (const auto& [quality, bound] : qualities) {
            const std::vector<std::uint8_t> stream = DibToJpeg(image.info, image.pixels, quality);
            ASSERT_FALSE(stream.empty()) << source.name << " q" << quality;
            EXPECT_EQ(stream[0], 0xFF);
            EXPECT_EQ(stream[3], 0xE0) << "JFIF marker";
            const GlobalDib decoded = JpegToDib(stream, 24, 0);
            ASSERT_TRUE(decoded) << source.name;
            EXPECT_GE(Psnr(AsBgr(decoded), image.expected), bound)
                << source.name << " q" << quality;
        }
    }
}

TEST(JpegGlue, DecodesAtEveryDisplayDepthCloseToThePicture) {
    const SourceImage image = MakeSource(kSources[3]);
    const std::vector<std::uint8_t> stream = DibToJpeg(image.info, image.pixels, 90);
    const struct {
        int depth;
        int bitCount;
        std::uint32_t compression;
        std::uint32_t colours;
        std::size_t size;
        double bound;
    } cases[] = {
        {24, 24, 0, 0, 40 + kWidth * kHeight * 3, 36.0},
        {16, 16, 3, 3, 40 + 12 + kWidth * kHeight * 2, 32.0},
        {15, 16, 0, 0, 40 + kWidth * kHeight * 2, 31.0},
        {8, 8, 0, 256, 40 + 1024 + kWidth * kHeight, 28.0},
    };
    for (const auto& c : cases) {
        platform::BitmapInfoHeader header;
        EXPECT_EQ(DecodeJpeg(stream, header, {}, c.depth, 0), c.size) << c.depth;
        EXPECT_EQ(header.biBitCount, c.bitCount) << c.depth;
        EXPECT_EQ(header.biCompression, c.compression) << c.depth;
        EXPECT_EQ(header.biClrUsed, c.colours) << c.depth;
        const GlobalDib decoded = JpegToDib(stream, c.depth, 0);
        ASSERT_TRUE(decoded) << c.depth;
        EXPECT_EQ(decoded.Size(), c.size) << c.depth;
        EXPECT_GE(Psnr(AsBgr(decoded), image.expected), c.bound) << c.depth;
        if (c.depth == 16) {
            EXPECT_EQ(Load32(decoded.Data() + 44), 0x07E0U);
        }
    }
}

TEST(JpegGlue, FlagsTurnRowsAndSpeedUpWithoutLosingThePicture) {
    const SourceImage image = MakeSource(kSources[3]);
    const std::vector<std::uint8_t> stream = DibToJpeg(image.info, image.pixels, 90);
    const GlobalDib bottomUp = JpegToDib(stream, 24, 0);
    const GlobalDib topDown = JpegToDib(stream, 24, kJpegTopDown);
    ASSERT_TRUE(bottomUp && topDown);
    EXPECT_EQ(topDown.Header().biHeight, -kHeight);
    const std::size_t stride = kWidth * 3;
    for (int y = 0; y < kHeight; ++y) {
        EXPECT_EQ(std::memcmp(topDown.Data() + 40 + y * stride,
                              bottomUp.Data() + 40 + (kHeight - 1 - y) * stride, stride),
                  0)
            << "row " << y;
    }
    const GlobalDib fast = JpegToDib(stream, 24, kJpegFast);
    ASSERT_TRUE(fast);
    EXPECT_GE(Psnr(AsBgr(fast), image.expected), 30.0);
}

TEST(JpegGlue, EightBitOutputZeroesTheUnusedColours) {
    // 8 x 8 pixels hold at most 64 colours: the table entries beyond them must be 0.
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < 64; ++i)
        pixels.insert(pixels.end(), {static_cast<std::uint8_t>(i < 32 ? 250 : 10), 20, 30});
    const std::vector<std::uint8_t> info = InfoOf(MakeHeader(8, 8, 24));
    const std::vector<std::uint8_t> stream = DibToJpeg(info, pixels, 100);
    for (int flags : {0, kJpegNoDither}) {
        const GlobalDib dib = JpegToDib(stream, 8, flags);
        ASSERT_TRUE(dib);
        const std::uint8_t* table = dib.Data() + 40;
        for (int i = 64 * 4; i < 1024; ++i)
            ASSERT_EQ(table[i], 0) << "byte " << i << " flags " << flags;
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ(table[4 * i + 3], 0);
    }
}

TEST(JpegGlue, RowPaddingIsZeroedAtEveryDepth) {
    // Five pixels a row leave padding at every depth (the encoder takes widths of fours, so an
    // eight-pixel stream, one block wide, is told it is five); the block starts out stale.
    constexpr int kOddWidth = 5;
    constexpr int kRows = 4;
    const std::vector<std::uint8_t> pixels(8 * kRows * 3, 120);
    const std::vector<std::uint8_t> stream =
        WithJpegSides(DibToJpeg(InfoOf(MakeHeader(8, kRows, 24)), pixels, 90), kOddWidth, kRows);
    for (const int depth : {24, 16, 15, 8}) {
        platform::BitmapInfoHeader header;
        const std::size_t size = DecodeJpeg(stream, header, {}, depth, 0);
        ASSERT_GT(size, 0U) << depth;
        std::vector<std::uint8_t> block(size, 0xAB);
        ASSERT_EQ(DecodeJpeg(stream, header, block, depth, 0), size) << depth;
        const std::size_t stride = platform::DibRowStride(kOddWidth, header.biBitCount);
        const std::size_t used = kOddWidth * header.biBitCount / 8;
        const std::size_t pixelsAt = size - stride * kRows;
        for (int row = 0; row < kRows; ++row) {
            for (std::size_t i = used; i < stride; ++i)
                EXPECT_EQ(block[pixelsAt + row * stride + i], 0) << depth << " row " << row;
        }
    }
}

TEST(JpegGlue, DestinationGrowsPastOneBytePerPixel) {
    // Noise at quality 100 needs several bytes a pixel, far beyond the first buffer.
    std::vector<std::uint8_t> pixels;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 16 * 16; ++i) {
        seed = seed * 1103515245 + 12345;
        pixels.insert(pixels.end(), 3, static_cast<std::uint8_t>(seed >> 16));  // grey noise
    }
    const std::vector<std::uint8_t> info = InfoOf(MakeHeader(16, 16, 24));
    const std::vector<std::uint8_t> stream = DibToJpeg(info, pixels, 100);
    ASSERT_GT(stream.size(), 16U * 16U);
    EXPECT_EQ(stream[stream.size() - 2], 0xFF);
    EXPECT_EQ(stream.back(), 0xD9);
    const GlobalDib decoded = JpegToDib(stream, 24, 0);
    ASSERT_TRUE(decoded);
    EXPECT_GE(Psnr(AsBgr(decoded), pixels), 30.0);
}

TEST(JpegGlue, EncoderRefusesWhatItCannotTake) {
    const SourceImage image = MakeSource(kSources[3]);
    const SourceImage eight = MakeSource(kSources[0]);
    const std::vector<std::uint8_t> big(102 * 8 * 4, 0);
    const struct {
        const char* name;
        std::vector<std::uint8_t> info;
        std::span<const std::uint8_t> pixels;
    } cases[] = {
        {"no header", {}, image.pixels},
        {"width 102", InfoOf(MakeHeader(102, 8, 24)), big},
        {"height 6", InfoOf(MakeHeader(8, 6, 24)), big},
        {"width 0", InfoOf(MakeHeader(0, 8, 24)), big},
        {"negative width", InfoOf(MakeHeader(-8, 8, 24)), big},
        {"4-bit", InfoOf(MakeHeader(8, 8, 4)), big},
        {"short pixels", image.info, std::span(image.pixels).first(image.pixels.size() - 1)},
        {"short colour table", std::vector<std::uint8_t>(eight.info.begin(), eight.info.end() - 4),
         eight.pixels},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(DibToJpeg(c.info, c.pixels, 75).empty()) << c.name;
}

class JpegGlueTrace : public ::testing::Test {
  protected:
    StandInTraceMonitor monitor_;
};

TEST_F(JpegGlueTrace, EmptyStreamFailsWithTheLibraryText) {
    EXPECT_FALSE(JpegToDib({}, 24, 0));
    EXPECT_EQ(monitor_.Receive(), std::string("Empty input file\n") + '\0');
}

TEST_F(JpegGlueTrace, TruncatedStreamDecodesAndWarns) {
    const SourceImage image = MakeSource(kSources[3]);
    const std::vector<std::uint8_t> stream = DibToJpeg(image.info, image.pixels, 90);
    const std::vector<std::uint8_t> truncated(
        stream.begin(), stream.begin() + static_cast<long>(stream.size() * 3 / 4));
    const GlobalDib decoded = JpegToDib(truncated, 24, 0);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded.Header().biWidth, kWidth);
    const std::optional<std::string> warning = monitor_.Receive();
    ASSERT_TRUE(warning);
    EXPECT_NE(warning->find("Premature end of JPEG file\n"), std::string::npos) << *warning;
}

TEST(JpegGlue, DecodeIntoATooSmallBlockWritesNothing) {
    const SourceImage image = MakeSource(kSources[3]);
    const std::vector<std::uint8_t> stream = DibToJpeg(image.info, image.pixels, 75);
    platform::BitmapInfoHeader header;
    const std::size_t size = DecodeJpeg(stream, header, {}, 24, 0);
    std::vector<std::uint8_t> block(size - 1, 0xAA);
    EXPECT_EQ(DecodeJpeg(stream, header, block, 24, 0), 0U);
    EXPECT_EQ(block[0], 0xAA);
}

}  // namespace
