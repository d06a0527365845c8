#include "platform/codec/codec_bridge.h"

#include <vector>

#include <gtest/gtest.h>

#include "platform/codec/codec_fourcc.h"

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

// Indeo's frame has several planes: it is never lent, the codec keeps it in memory of its own.
TEST(CodecPicture, AFrameOfSeveralPlanesIsNotLent) {
    const std::vector<std::uint8_t> coded(64, 0x55);
    platform::CodecPicture planar;
    ASSERT_EQ(planar.Open({platform::MakeFourcc("iv41"), 16, 16, 24, coded}),
              platform::CodecStatus::Decoded);
    EXPECT_EQ(planar.FrameBytes(), 0U);
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
