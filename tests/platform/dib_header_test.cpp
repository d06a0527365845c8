#include "platform/dib_header.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/byte_order.h"

namespace {

// A header whose every field has its own value, high bytes included, so that a field read from
// the wrong offset or with its bytes swapped shows.
constexpr std::array<std::uint8_t, platform::kInfoHeaderSize> kHeaderBytes = {
    0x28, 0x00, 0x00, 0x00,  // size 40
    0xFE, 0xFF, 0xFF, 0xFF,  // width -2
    0x00, 0x01, 0x02, 0x80,  // height, sign bit set
    0x01, 0x00,              // planes
    0x10, 0x00,              // bit count 16
    0x03, 0x00, 0x00, 0x00,  // bit fields
    0x44, 0x33, 0x22, 0x11,  // image size
    0x13, 0x0B, 0x00, 0x00,  // 2835 pixels a metre
    0xFF, 0xFF, 0xFF, 0x7F,  // largest positive
    0x00, 0x01, 0x00, 0x00,  // 256 colours used
    0x80, 0x00, 0x00, 0x00,  // 128 important
};

TEST(DibHeader, EachFieldComesFromItsOwnOffsetAndGoesBackUnchanged) {
    const platform::BitmapInfoHeader h = platform::LoadInfoHeader(kHeaderBytes.data());
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, -2);
    EXPECT_EQ(h.biHeight, static_cast<std::int32_t>(0x80020100u));
    EXPECT_EQ(h.biPlanes, 1u);
    EXPECT_EQ(h.biBitCount, 16u);
    EXPECT_EQ(h.biCompression, platform::kBiBitfields);
    EXPECT_EQ(h.biSizeImage, 0x11223344u);
    EXPECT_EQ(h.biXPelsPerMeter, 2835);
    EXPECT_EQ(h.biYPelsPerMeter, 0x7FFFFFFF);
    EXPECT_EQ(h.biClrUsed, 256u);
    EXPECT_EQ(h.biClrImportant, 128u);

    std::array<std::uint8_t, platform::kInfoHeaderSize> written{};
    platform::StoreInfoHeader(written.data(), h);
    EXPECT_EQ(written, kHeaderBytes);
}

TEST(DibHeader, RowsArePaddedToWholeFourByteWordsWithoutWrapping) {
    struct Case {
        std::int64_t width;
        int bitCount;
        std::size_t stride;
    };
    // The last width needs more than 32 bits of bit count.
    const Case cases[] = {{0, 24, 0},  {1, 1, 4},   {32, 1, 4},
                          {33, 1, 8},  {3, 4, 4},   {9, 4, 8},
                          {1, 8, 4},   {5, 8, 8},   {1, 16, 4},
                          {3, 16, 8},  {1, 24, 4},  {3, 24, 12},
                          {5, 24, 16}, {7, 32, 28}, {0x7FFFFFFF, 32, std::size_t{0x7FFFFFFF} * 4}};
    for (const Case& c : cases)
        EXPECT_EQ(platform::DibRowStride(c.width, c.bitCount), c.stride)
            << c.width << " x " << c.bitCount;
}

// The one format vocabulary: the format a header's bit count and compression name, the bytes
// and header bits of each, and which of them frames are drawn and shown in.
TEST(DibHeader, BitCountAndCompressionNameOneFormat) {
    using platform::PixelFormatCode;
    const struct {
        std::uint16_t bitCount;
        std::uint32_t compression;
        PixelFormatCode format;
        int bytes;
        bool frame;
    } cases[] = {
        {8, platform::kBiRgb, PixelFormatCode::Indexed8, 1, true},
        {16, platform::kBiRgb, PixelFormatCode::Rgb555, 2, true},
        {16, platform::kBiBitfields, PixelFormatCode::Rgb565, 2, true},
        {24, platform::kBiRgb, PixelFormatCode::Bgr24, 3, true},
        {32, platform::kBiRgb, PixelFormatCode::Bgrx32, 4, false},
        {15, platform::kBiRgb, PixelFormatCode::None, 0, false},
        {1, platform::kBiRgb, PixelFormatCode::None, 0, false},
        {4, platform::kBiRgb, PixelFormatCode::None, 0, false},
        {0, platform::kBiRgb, PixelFormatCode::None, 0, false},
    };
    for (const auto& c : cases) {
        platform::BitmapInfoHeader header;
        header.biBitCount = c.bitCount;
        header.biCompression = c.compression;
        const PixelFormatCode format = platform::DibPixelFormatCode(header);
        EXPECT_EQ(format, c.format) << c.bitCount;
        EXPECT_EQ(platform::BytesPerPixel(format), c.bytes) << c.bitCount;
        EXPECT_EQ(platform::IsFrameFormat(format), c.frame) << c.bitCount;
        if (format != PixelFormatCode::None) {
            EXPECT_EQ(platform::BitsPerPixel(format), c.bitCount) << c.bitCount;
        }
    }
    EXPECT_EQ(platform::BytesPerPixel(static_cast<PixelFormatCode>(12)), 0);
    EXPECT_FALSE(platform::IsFrameFormat(static_cast<PixelFormatCode>(12)));
}

TEST(ByteOrder, LowByteFirstForEveryWidth) {
    const std::uint8_t bytes[] = {0x01, 0x82, 0x03, 0xF4};
    EXPECT_EQ(platform::LoadLe16(bytes), 0x8201u);
    EXPECT_EQ(platform::LoadLe32(bytes), 0xF4038201u);

    std::uint8_t stored[4] = {};
    platform::StoreLe32(stored, 0xF4038201u);
    EXPECT_TRUE(std::equal(stored, stored + 4, bytes));
    platform::StoreLe16(stored, 0xBEEF);
    EXPECT_EQ(stored[0], 0xEF);
    EXPECT_EQ(stored[1], 0xBE);
    EXPECT_EQ(stored[2], 0x03);  // the bytes behind stay

    std::vector<std::uint8_t> appended = {0xAA};
    platform::AppendLe32(appended, 0xF4038201u);
    EXPECT_EQ(appended, (std::vector<std::uint8_t>{0xAA, 0x01, 0x82, 0x03, 0xF4}));
}

}  // namespace
