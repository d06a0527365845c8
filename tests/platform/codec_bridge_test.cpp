#include "platform/codec_bridge.h"

#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "platform/codec_fourcc.h"
#include "tests/platform/ffmpeg_test_encoder.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

// Four flat quadrants: blocky codecs keep flat areas close to their colour.
std::vector<std::uint8_t> QuadrantPicture() {
    std::vector<std::uint8_t> bgr(kWidth * kHeight * 3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int quadrant = (y < kHeight / 2 ? 0 : 2) + (x < kWidth / 2 ? 0 : 1);
            static constexpr std::uint8_t kColours[4][3] = {{200, 40, 40}, {40, 200, 40}, {40, 40, 200}, {220, 220, 220}};
            std::uint8_t* pixel = &bgr[(y * kWidth + x) * 3];
            for (int c = 0; c < 3; ++c) pixel[c] = kColours[quadrant][c];
        }
    }
    return bgr;
}

int LargestDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    int largest = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

struct CodecCase {
    std::uint32_t fourcc;
    AVCodecID encoder;
    int bitsPerPixel;
};

TEST(CodecBridge, DecodesPicturesMadeByFfmpegEncoders) {
    const CodecCase cases[] = {
        {platform::MakeFourcc("cvid"), AV_CODEC_ID_CINEPAK, 24},
        {platform::MakeFourcc("msvc"), AV_CODEC_ID_MSVIDEO1, 16},
        {platform::MakeFourcc("CRAM"), AV_CODEC_ID_MSVIDEO1, 16},
    };
    const std::vector<std::uint8_t> original = QuadrantPicture();
    for (const CodecCase& c : cases) {
        const std::vector<std::uint8_t> compressed = EncodeTestPicture(c.encoder, original, kWidth, kHeight);
        ASSERT_FALSE(compressed.empty()) << platform::FourccText(c.fourcc);
        const std::uint32_t fourcc = c.fourcc;
        platform::DecodedPicture picture;
        ASSERT_EQ(platform::DecodeCompressedPicture({fourcc, kWidth, kHeight, c.bitsPerPixel, compressed}, picture),
                  platform::CodecStatus::Decoded)
            << platform::FourccText(c.fourcc);
        EXPECT_EQ(picture.width, kWidth);
        EXPECT_EQ(picture.height, kHeight);
        ASSERT_EQ(picture.bgr.size(), original.size());
        EXPECT_LE(LargestDifference(picture.bgr, original), 24) << platform::FourccText(c.fourcc);
    }
}

struct FailureCase {
    const char* name;
    std::uint32_t fourcc;
    int width;
    int height;
    std::vector<std::uint8_t> data;
};

TEST(CodecBridge, RefusesUnknownCodesBadSizesAndGarbage) {
    const FailureCase cases[] = {
        {"unknown code", platform::MakeFourcc("abcd"), 16, 16, std::vector<std::uint8_t>(64, 1)},
        {"zero code", 0, 16, 16, std::vector<std::uint8_t>(64, 1)},
        {"no data", platform::MakeFourcc("cvid"), 16, 16, {}},
        {"garbage", platform::MakeFourcc("cvid"), 16, 16, std::vector<std::uint8_t>(64, 0xAB)},
        {"zero width", platform::MakeFourcc("msvc"), 0, 16, std::vector<std::uint8_t>(64, 0)},
        {"huge size", platform::MakeFourcc("msvc"), 1 << 30, 1 << 30, std::vector<std::uint8_t>(64, 0)},
        {"indeo garbage", platform::MakeFourcc("iv41"), 16, 16, std::vector<std::uint8_t>(64, 0x55)},
    };
    for (const FailureCase& c : cases) {
        platform::DecodedPicture picture;
        EXPECT_EQ(platform::DecodeCompressedPicture({c.fourcc, c.width, c.height, 24, c.data}, picture),
                  platform::CodecStatus::Failed)
            << c.name;
        EXPECT_TRUE(picture.bgr.empty()) << c.name;
    }
}

TEST(CodecFourcc, FindsTheCodecWhateverTheCase) {
    const struct {
        std::uint32_t fourcc;
        std::optional<AVCodecID> codec;
    } cases[] = {
        {platform::MakeFourcc("cvid"), AV_CODEC_ID_CINEPAK},  {platform::MakeFourcc("CVID"), AV_CODEC_ID_CINEPAK},
        {platform::MakeFourcc("msvc"), AV_CODEC_ID_MSVIDEO1}, {platform::MakeFourcc("CRAM"), AV_CODEC_ID_MSVIDEO1},
        {platform::MakeFourcc("iv41"), AV_CODEC_ID_INDEO4},   {platform::MakeFourcc("IV41"), AV_CODEC_ID_INDEO4},
        {platform::MakeFourcc("iv50"), std::nullopt},         {0, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::CodecForFourcc(c.fourcc), c.codec) << platform::FourccText(c.fourcc);
}

TEST(CodecFourcc, TextStopsAtTheFirstNul) {
    EXPECT_EQ(platform::FourccText(platform::MakeFourcc("cvid")), "cvid");
    EXPECT_EQ(platform::FourccText(1), "\x01");
    EXPECT_EQ(platform::FourccText(0), "");
}

}  // namespace
