// Depth conversion of codec-compressed bitmaps, with pictures compressed here by FFmpeg.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "bitmap/cdib.h"
#include "platform/codec/codec_bridge.h"
#include "platform/codec/codec_fourcc.h"
#include "platform/picture_limits.h"
#include "tests/bitmap/bmp_builder.h"
#include "tests/platform/codec/ffmpeg_test_encoder.h"

namespace {

// The program's start-up step: the bitmap class decodes through the installed codec bridge.
class CodecBridgeEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { platform::InstallCodecDecoder(platform::DecodeCompressedPicture); }
};

[[maybe_unused]] const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new CodecBridgeEnvironment);

constexpr int kWidth = 32;
constexpr int kHeight = 16;

std::vector<std::uint8_t> Picture() {  // blue, green, red; top row first
    std::vector<std::uint8_t> bgr;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        bgr.insert(bgr.end(), {40, static_cast<std::uint8_t>(i / kWidth * 15),
                               static_cast<std::uint8_t>(i % kWidth * 8)});
    }
    return bgr;
}

CDIB Compressed(std::uint32_t fourcc, int bits, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> packed =
        PackedHeader(kWidth, kHeight, bits, fourcc, static_cast<std::uint32_t>(data.size()));
    packed.insert(packed.end(), data.begin(), data.end());
    CDIB dib;
    EXPECT_EQ(dib.CreateFromPackedDib(packed), 1);
    return dib;
}

double MeanError(const CDIB& dib) {  // per channel, against Picture()
    const std::vector<std::uint8_t> want = Picture();
    double sum = 0;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        std::uint8_t rgb[3];
        EXPECT_EQ(dib.GetPixel(i % kWidth, i / kWidth, &rgb[0], &rgb[1], &rgb[2]), 1);
        for (int c = 0; c < 3; ++c)
            sum += std::abs(rgb[c] - want[static_cast<std::size_t>(3 * i + 2 - c)]);
    }
    return sum / (kWidth * kHeight * 3);
}

TEST(CdibCodec, DecompressesThroughTheCodecBridgeToEachDepth) {
    const std::tuple<const char*, std::uint32_t, AVCodecID, int> kCodecs[] = {
        {"cvid", platform::MakeFourcc("cvid"), AV_CODEC_ID_CINEPAK, 24},
        {"msvc", platform::MakeFourcc("msvc"), AV_CODEC_ID_MSVIDEO1, 16}};
    for (const auto& [name, fourcc, encoder, headerBits] : kCodecs) {
        const std::vector<std::uint8_t> data =
            EncodeTestPicture(encoder, Picture(), kWidth, kHeight);
        ASSERT_FALSE(data.empty()) << name;
        for (int bits : {24, 16, 32}) {
            SCOPED_TRACE(testing::Message() << name << " to " << bits);
            std::stringstream file;  // codec data survives writing and reading
            ASSERT_EQ(Compressed(fourcc, headerBits, data).Write(file), 1);
            CDIB dib;
            ASSERT_EQ(dib.Read(file), 1);
            ASSERT_EQ(dib.IsCompressed(), 1);
            ASSERT_EQ(dib.ChangeBitDepth(bits), 1);
            EXPECT_EQ(dib.GetBitCount(), bits);
            EXPECT_LT(MeanError(dib), 12.0);
        }
    }
}

TEST(CdibCodec, RefusalsLeaveTheCompressedBitmapAsItWas) {
    const std::vector<std::uint8_t> data =
        EncodeTestPicture(AV_CODEC_ID_CINEPAK, Picture(), kWidth, kHeight);
    const std::uint32_t cvid = platform::MakeFourcc("cvid");
    const std::tuple<const char*, std::uint32_t, std::vector<std::uint8_t>, int> kCases[] = {
        {"unknown codec", platform::MakeFourcc("zzzz"), data, 24},
        {"garbage data", cvid, std::vector<std::uint8_t>(100, 0xA5), 24},
        {"to 8 bits", cvid, data, 8},
        {"to 12 bits", cvid, data, 12},
    };
    for (const auto& [name, fourcc, bytes, bits] : kCases) {
        CDIB dib = Compressed(fourcc, 24, bytes);
        const std::vector<std::uint8_t> before(dib.GetBlock().begin(), dib.GetBlock().end());
        EXPECT_EQ(dib.ChangeBitDepth(bits), 0) << name;
        EXPECT_TRUE(std::ranges::equal(dib.GetBlock(), before)) << name;
    }
    EXPECT_FALSE(CDIB(4, 4, 24).DecompressTo(24).has_value());
}

// A compressed bitmap decodes only within the picture ceiling: its 32 x 16 picture at 24 bits
// (a block of 40 + 1536 bytes) goes through exactly at it and is refused one pixel or byte over.
TEST(CdibCodec, DecompressionHonoursThePictureCeiling) {
    const std::vector<std::uint8_t> data =
        EncodeTestPicture(AV_CODEC_ID_CINEPAK, Picture(), kWidth, kHeight);
    const CDIB dib = Compressed(platform::MakeFourcc("cvid"), 24, data);
    const std::tuple<const char*, platform::PictureCap, bool> kCeilings[] = {
        {"exactly at both", {kWidth * kHeight, 40 + kWidth * 3 * kHeight}, true},
        {"one pixel over", {kWidth * kHeight - 1, 40 + kWidth * 3 * kHeight}, false},
        {"one byte over", {kWidth * kHeight, 40 + kWidth * 3 * kHeight - 1}, false},
    };
    for (const auto& [name, ceiling, decodes] : kCeilings) {
        const platform::ScopedPictureCap cap(ceiling);
        EXPECT_EQ(dib.DecompressTo(24).has_value(), decodes) << name;
    }
}

}  // namespace
