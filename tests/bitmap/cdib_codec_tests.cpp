// Depth conversion of codec-compressed bitmaps, with pictures compressed here by FFmpeg.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "bitmap/cdib.h"
#include "platform/codec_fourcc.h"
#include "tests/platform/ffmpeg_test_encoder.h"

namespace {

constexpr int kWidth = 32;
constexpr int kHeight = 16;

std::vector<std::uint8_t> Picture() {  // blue, green, red; top row first
    std::vector<std::uint8_t> bgr;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            bgr.push_back(static_cast<std::uint8_t>(40));
            bgr.push_back(static_cast<std::uint8_t>(y * 15));
            bgr.push_back(static_cast<std::uint8_t>(x * 8));
        }
    }
    return bgr;
}

CDIB Compressed(std::uint32_t fourcc, int bits, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> packed(40 + data.size());
    BitmapInfoHeader h;
    h.biWidth = kWidth;
    h.biHeight = kHeight;
    h.biBitCount = static_cast<std::uint16_t>(bits);
    h.biCompression = fourcc;
    h.biSizeImage = static_cast<std::uint32_t>(data.size());
    StoreInfoHeader(packed.data(), h);
    std::copy(data.begin(), data.end(), packed.begin() + 40);
    CDIB dib;
    EXPECT_EQ(dib.CreateFromPackedDib(packed), 1);
    return dib;
}

// Mean absolute difference per channel between the bitmap and Picture().
double MeanError(const CDIB& dib) {
    const std::vector<std::uint8_t> want = Picture();
    double sum = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t r, g, b;
            EXPECT_EQ(dib.GetPixel(x, y, &r, &g, &b), 1);
            const std::uint8_t* w = &want[static_cast<std::size_t>((y * kWidth + x) * 3)];
            sum += std::abs(b - w[0]) + std::abs(g - w[1]) + std::abs(r - w[2]);
        }
    }
    return sum / (kWidth * kHeight * 3);
}

TEST(CdibCodec, DecompressesThroughTheCodecBridgeToEachDepth) {
    struct Case {
        const char* name;
        std::uint32_t fourcc;
        AVCodecID encoder;
        int headerBits;
    };
    const Case kCases[] = {
        {"cvid", platform::MakeFourcc("cvid"), AV_CODEC_ID_CINEPAK, 24},
        {"msvc", platform::MakeFourcc("msvc"), AV_CODEC_ID_MSVIDEO1, 16},
    };
    for (const Case& c : kCases) {
        const std::vector<std::uint8_t> data = EncodeTestPicture(c.encoder, Picture(), kWidth, kHeight);
        if (data.empty()) GTEST_SKIP() << "FFmpeg has no " << c.name << " encoder";
        for (int bits : {24, 16, 32}) {
            SCOPED_TRACE(testing::Message() << c.name << " to " << bits);
            CDIB dib = Compressed(c.fourcc, c.headerBits, data);
            ASSERT_EQ(dib.IsCompressed(), 1);
            EXPECT_EQ(dib.GetBitCount(), 0);

            // Through a bitmap file first: codec data survives writing and reading.
            std::stringstream file;
            ASSERT_EQ(dib.Write(file), 1);
            CDIB read;
            ASSERT_EQ(read.Read(file), 1);
            ASSERT_EQ(read.IsCompressed(), 1);

            ASSERT_EQ(read.ChangeBitDepth(bits), 1);
            EXPECT_EQ(read.GetBitCount(), bits);
            EXPECT_EQ(read.GetWidth(), kWidth);
            EXPECT_EQ(read.GetHeight(), kHeight);
            EXPECT_LT(MeanError(read), 12.0);
        }
    }
}

TEST(CdibCodec, RefusalsLeaveTheCompressedBitmapAsItWas) {
    const std::vector<std::uint8_t> data = EncodeTestPicture(AV_CODEC_ID_CINEPAK, Picture(), kWidth, kHeight);
    if (data.empty()) GTEST_SKIP() << "FFmpeg has no Cinepak encoder";
    struct Case {
        const char* name;
        std::uint32_t fourcc;
        std::vector<std::uint8_t> data;
        int bits;
    };
    const Case kCases[] = {
        {"unknown codec", platform::MakeFourcc("zzzz"), data, 24},
        {"garbage data", platform::MakeFourcc("cvid"), std::vector<std::uint8_t>(100, 0xA5), 24},
        {"to 8 bits", platform::MakeFourcc("cvid"), data, 8},
        {"to 12 bits", platform::MakeFourcc("cvid"), data, 12},
    };
    for (const Case& c : kCases) {
        CDIB dib = Compressed(c.fourcc, 24, c.data);
        const std::vector<std::uint8_t> before(dib.GetBlock().begin(), dib.GetBlock().end());
        EXPECT_EQ(dib.ChangeBitDepth(c.bits), 0) << c.name;
        EXPECT_TRUE(std::equal(before.begin(), before.end(), dib.GetBlock().begin(),
                               dib.GetBlock().end()))
            << c.name;
    }
    EXPECT_FALSE(CDIB(4, 4, 24).DecompressTo(24).has_value());
}

}  // namespace
