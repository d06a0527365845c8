#include "platform/codec/codec_bridge.h"

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "platform/codec/codec_fourcc.h"
#include "tests/platform/codec/ffmpeg_test_encoder.h"

namespace {

// Decoding pictures made by FFmpeg's encoders is tested through the image decoder, which
// also checks the rows' order; here: what the bridge refuses, and the code lookup.

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
        {"huge size", platform::MakeFourcc("msvc"), 1 << 30, 1 << 30,
         std::vector<std::uint8_t>(64, 0)},
        {"indeo garbage", platform::MakeFourcc("iv41"), 16, 16,
         std::vector<std::uint8_t>(64, 0x55)},
    };
    for (const FailureCase& c : cases) {
        // Room for a 16 x 16 picture; the refusals come before the rows are written.
        std::vector<std::uint8_t> block(16 * 48, 0x5A);
        EXPECT_EQ(platform::DecodeCompressedPicture({c.fourcc, c.width, c.height, 24, c.data},
                                                    {block.data(), 48}),
                  platform::CodecStatus::Failed)
            << c.name;
        EXPECT_EQ(block, std::vector<std::uint8_t>(16 * 48, 0x5A)) << c.name;
    }
}

// A codec whose frame is one plane makes it in the memory it is lent, and the rows read from it
// are those the bridge decodes in memory of the codec's own; a frame of several planes is never
// lent.
TEST(CodecPicture, MakesItsFrameInTheMemoryItIsLent) {
    constexpr int kWidth = 32;
    constexpr int kHeight = 16;
    std::vector<std::uint8_t> bgr;
    for (int i = 0; i < kWidth * kHeight; ++i)
        bgr.insert(bgr.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i / 3), 99});
    const struct {
        const char* fourcc;
        std::uint32_t code;
        AVCodecID encoder;
        int bits;
    } cases[] = {{"cvid", platform::MakeFourcc("cvid"), AV_CODEC_ID_CINEPAK, 24},
                 {"CRAM", platform::MakeFourcc("CRAM"), AV_CODEC_ID_MSVIDEO1, 16}};
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> data = EncodeTestPicture(c.encoder, bgr, kWidth, kHeight);
        const platform::CompressedPicture input{c.code, kWidth, kHeight, c.bits, data};
        std::vector<std::uint8_t> beside(kWidth * kHeight * 3);
        ASSERT_EQ(platform::DecodeCompressedPicture(input, {beside.data(), kWidth * 3}),
                  platform::CodecStatus::Decoded)
            << c.fourcc;

        platform::CodecPicture picture;
        ASSERT_EQ(picture.Open(input), platform::CodecStatus::Decoded) << c.fourcc;
        ASSERT_GT(picture.FrameBytes(), picture.FramePitch() * kHeight) << c.fourcc;
        std::vector<std::uint8_t> lent(picture.FrameBytes(), 0xAA);
        ASSERT_EQ(picture.Decode(lent), platform::CodecStatus::Decoded) << c.fourcc;
        EXPECT_NE(std::count(lent.begin(), lent.end(), 0xAA), std::ptrdiff_t(lent.size()))
            << c.fourcc << ": the frame is made in the lent memory";
        std::vector<std::uint8_t> rows(kWidth * kHeight * 3);
        for (int first = 0; first < kHeight; first += 5) {
            const int count = std::min(5, kHeight - first);
            ASSERT_TRUE(
                picture.ReadRows(first, count, rows.data() + first * kWidth * 3, kWidth * 3))
                << c.fourcc;
        }
        EXPECT_EQ(rows, beside) << c.fourcc;
    }

    const std::vector<std::uint8_t> coded(64, 0x55);
    platform::CodecPicture planar;
    ASSERT_EQ(planar.Open({platform::MakeFourcc("iv41"), 16, 16, 24, coded}),
              platform::CodecStatus::Decoded);
    EXPECT_EQ(planar.FrameBytes(), 0U) << "Indeo's planes stay the codec's";
}

TEST(CodecFourcc, FindsTheCodecWhateverTheCase) {
    const struct {
        std::uint32_t fourcc;
        std::optional<AVCodecID> codec;
    } cases[] = {
        {platform::MakeFourcc("cvid"), AV_CODEC_ID_CINEPAK},
        {platform::MakeFourcc("CVID"), AV_CODEC_ID_CINEPAK},
        {platform::MakeFourcc("msvc"), AV_CODEC_ID_MSVIDEO1},
        {platform::MakeFourcc("CRAM"), AV_CODEC_ID_MSVIDEO1},
        {platform::MakeFourcc("iv41"), AV_CODEC_ID_INDEO4},
        {platform::MakeFourcc("IV41"), AV_CODEC_ID_INDEO4},
        {platform::MakeFourcc("iv50"), std::nullopt},
        {0, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::CodecForFourcc(c.fourcc), c.codec) << platform::FourccText(c.fourcc);
}

TEST(CodecFourcc, TextStopsAtTheFirstNul) {
    EXPECT_EQ(platform::FourccText(platform::MakeFourcc("cvid")), "cvid");
    EXPECT_EQ(platform::FourccText(1), "\x01");
    EXPECT_EQ(platform::FourccText(0), "");
}

}  // namespace
