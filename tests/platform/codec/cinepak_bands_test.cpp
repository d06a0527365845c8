#include "platform/codec/cinepak_bands.h"

#include <gtest/gtest.h>

#include "platform/codec/codec_bridge.h"
#include "platform/codec/codec_fourcc.h"
#include "tests/platform/codec/cinepak_test_frames.h"
#include "tests/platform/codec/ffmpeg_test_encoder.h"

namespace {

using namespace cinepak_test;

// A frame's sides as its header gives them.
std::pair<int, int> SidesOf(const Bytes& frame) {
    return {frame[4] << 8 | frame[5], frame[6] << 8 | frame[7]};
}

// 16 x 24 frames, whose strips of n rows have n blocks. The frames that are cut are those of the
// bands test below.
TEST(CutCinepakFrame, RefusesFramesWhoseBandsWouldNotDecodeAlone) {
    const auto Plain = [](int rows, int seed) {
        return Strip{rows, Join({Codebook(0x20, 1), Codebook(0x22, 2), Vectors(0x32, rows, seed)})};
    };
    const std::pair<const char*, Bytes> refused[] = {
        {"inter vectors", Frame(0, 16, 24, {{24, Chunk(0x31, Bytes(64, 0))}})},
        {"a narrower strip", Frame(0, 16, 24, {{24, Vectors(0x32, 24, 1), 0, 12}})},
        {"a strip of 6 rows", Frame(0, 16, 24, {Plain(6, 1), Plain(18, 2)})},
        {"rows between strips", Frame(0, 16, 24, {Plain(8, 1), {12, Vectors(0x32, 12, 2), 12}})},
        {"the bottom left out", Frame(0, 16, 24, {Plain(8, 1), Plain(8, 2)})},
        {"a code missing", Frame(0, 16, 24, {{24, Vectors(0x32, 23, 1)}})},
        {"33 strips", Frame(0, 16, 33 * 4, std::vector<Strip>(33, Plain(4, 1)))},
        {"a width not a multiple of 4", Frame(0, 18, 24, {{24, Vectors(0x32, 24, 1)}})},
        // A frame of the longest size its fields tell, whose one band's key vectors, with their
        // flag word, would make a frame longer than that.
        {"a band too long for the size fields",
         Frame(0, 16, 8, {{8, Join({Chunk(0x20, Bytes(0xFFFFFF - 38)), Vectors(0x32, 8, 1)})}})},
    };
    for (const auto& [name, frame] : refused) {
        const auto [width, height] = SidesOf(frame);
        EXPECT_FALSE(platform::CutCinepakFrame(frame, width, height, 8)) << name;
    }
}

TEST(CodecBands, BandsGiveTheWholeFramesPixels) {
    const Bytes books = Join({Codebook(0x20, 4), Codebook(0x22, 5)});
    Bytes bgr(32 * 48 * 3);
    for (std::size_t i = 0; i < bgr.size(); ++i)
        bgr[i] = static_cast<std::uint8_t>(i * 7 + i / 96);
    const std::pair<const char*, Bytes> frames[] = {
        {"strips that take the codebooks before them",
         Frame(0, 16, 24,
               {{12, Join({books, Vectors(0x30, 12, 1)})},
                {12, Join({Codebook(0x22, 6), Vectors(0x32, 12, 2)})}})},
        {"rows counted from the top",
         Frame(0, 16, 24,
               {{8, Join({books, Vectors(0x32, 8, 1)})}, {16, Vectors(0x32, 16, 2), 8}})},
        {"strips with codebooks of their own",
         Frame(1, 16, 24,
               {{8, Join({books, Vectors(0x30, 8, 1)})},
                {8, Vectors(0x30, 8, 2)},
                {8, Join({Codebook(0x20, 7), Vectors(0x30, 8, 3)})}})},
        {"encoded", EncodeTestPicture(AV_CODEC_ID_CINEPAK, bgr, 32, 48)},
    };
    for (const auto& [name, frame] : frames) {
        SCOPED_TRACE(name);
        const auto [width, height] = SidesOf(frame);
        const platform::CompressedPicture input{platform::MakeFourcc("cvid"), width, height, 24,
                                                frame};
        const auto rowBytes = static_cast<std::ptrdiff_t>(width) * 3;
        Bytes whole(static_cast<std::size_t>(rowBytes * height));
        ASSERT_EQ(platform::DecodeCompressedPicture(input, {whole.data(), rowBytes}),
                  platform::CodecStatus::Decoded);
        for (const int bandRows : {4, 8, 1000}) {
            platform::CodecBands bands;
            ASSERT_TRUE(bands.Open(input, static_cast<std::size_t>(rowBytes * bandRows)));
            Bytes rows(whole.size(), 0xEE);
            while (bands.First() + bands.Count() < height) {
                ASSERT_EQ(bands.Next(), platform::CodecStatus::Decoded);
                ASSERT_LE(bands.Count(), bandRows);
                ASSERT_TRUE(
                    bands.ReadRows(0, bands.Count(), &rows[bands.First() * rowBytes], rowBytes));
            }
            EXPECT_EQ(rows, whole) << "bands of " << bandRows;
            EXPECT_EQ(bands.Next(), platform::CodecStatus::Failed) << "no band is left";
        }
    }
}

}  // namespace
