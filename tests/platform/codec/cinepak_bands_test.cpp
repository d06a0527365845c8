#include "platform/codec/cinepak_bands.h"

#include <gtest/gtest.h>

#include "platform/codec/codec_bridge.h"
#include "platform/codec/codec_fourcc.h"
#include "tests/platform/codec/cinepak_test_frames.h"
#include "tests/platform/codec/ffmpeg_test_encoder.h"

namespace {

using namespace cinepak_test;

constexpr int kWidth = 16;
constexpr int kHeight = 24;

// Every block of a strip of `rows` rows, 16 wide.
int Blocks(int rows) {
    return kWidth / 4 * rows / 4;
}

// A frame's sides as its header gives them.
std::pair<int, int> SidesOf(const Bytes& frame) {
    return {frame[4] << 8 | frame[5], frame[6] << 8 | frame[7]};
}

TEST(CutCinepakFrame, RefusesFramesWhoseBandsWouldNotDecodeAlone) {
    const Bytes books = Join({Codebook(0x20, 1), Codebook(0x22, 2)});
    const auto Plain = [&](int rows, int seed) {
        return Strip{rows, Join({books, OneVectorEach(Blocks(rows), seed)})};
    };
    const auto Frame24 = [](const std::vector<Strip>& strips) {
        return Frame(0, kWidth, kHeight, strips);
    };
    // The frames that are cut are those of the bands test below.
    const struct {
        const char* name;
        Bytes frame;
    } refused[] = {
        {"inter vectors", Frame24({{24, Chunk(0x31, Bytes(64, 0))}})},
        {"a narrower strip", Frame24({{24, OneVectorEach(Blocks(24), 1), 0, 0, 12}})},
        {"a strip of 6 rows", Frame24({Plain(6, 1), Plain(18, 2)})},
        {"rows between strips", Frame24({Plain(8, 1), {12, OneVectorEach(Blocks(12), 2), 12}})},
        {"the bottom left out", Frame24({Plain(8, 1), Plain(8, 2)})},
        {"a code missing", Frame24({{24, OneVectorEach(Blocks(24) - 1, 1)}})},
        {"33 strips", Frame(0, kWidth, 33 * 4, std::vector<Strip>(33, Plain(4, 1)))},
        {"a width not a multiple of 4",
         Frame(0, 18, kHeight, {{24, OneVectorEach(Blocks(24), 1), 0, 0, 18}})},
        // A frame of the longest size its fields tell, whose one band's key vectors, with their
        // flag word, would make a frame longer than that.
        {"a band too long for the size fields",
         Frame(0, kWidth, 8,
               {{8, Join({Chunk(0x20, Bytes(0xFFFFFF - 38, 0)), OneVectorEach(Blocks(8), 1)})}})},
    };
    for (const auto& c : refused) {
        const auto [width, height] = SidesOf(c.frame);
        EXPECT_FALSE(platform::CutCinepakFrame(c.frame, width, height, 8)) << c.name;
    }
}

TEST(CodecBands, BandsGiveTheWholeFramesPixels) {
    const Bytes books = Join({Codebook(0x20, 4), Codebook(0x22, 5)});
    Bytes bgr;
    for (int i = 0; i < 32 * 48; ++i)
        bgr.insert(bgr.end(),
                   {static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i / 9), 77});
    const struct {
        const char* name;
        Bytes frame;
    } frames[] = {
        {"strips that take the codebooks before them",
         Frame(0, kWidth, kHeight,
               {{12, Join({books, KeyVectors(Blocks(12), 1)})},
                {12, Join({Codebook(0x22, 6), OneVectorEach(Blocks(12), 2)})}})},
        {"rows counted from the top", Frame(0, kWidth, kHeight,
                                            {{8, Join({books, OneVectorEach(Blocks(8), 1)})},
                                             {16, OneVectorEach(Blocks(16), 2), 8}})},
        {"strips with codebooks of their own",
         Frame(1, kWidth, kHeight,
               {{8, Join({books, KeyVectors(Blocks(8), 1)})},
                {8, KeyVectors(Blocks(8), 2)},
                {8, Join({Codebook(0x20, 7), KeyVectors(Blocks(8), 3)})}})},
        {"encoded", EncodeTestPicture(AV_CODEC_ID_CINEPAK, bgr, 32, 48)},
    };
    for (const auto& f : frames) {
        const auto [width, height] = SidesOf(f.frame);
        const platform::CompressedPicture input{platform::MakeFourcc("cvid"), width, height, 24,
                                                f.frame};
        const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
        platform::CodecPicture picture;  // the frame decoded whole
        Bytes whole(rowBytes * static_cast<std::size_t>(height));
        ASSERT_EQ(picture.Open(input), platform::CodecStatus::Decoded) << f.name;
        ASSERT_EQ(picture.Decode({}), platform::CodecStatus::Decoded) << f.name;
        ASSERT_TRUE(
            picture.ReadRows(0, height, whole.data(), static_cast<std::ptrdiff_t>(rowBytes)));
        for (const int bandRows : {4, 8, 1000}) {
            platform::CodecBands bands;
            ASSERT_TRUE(bands.Open(input, rowBytes * static_cast<std::size_t>(bandRows))) << f.name;
            Bytes rows(whole.size(), 0xEE);
            while (bands.First() + bands.Count() < height) {
                ASSERT_EQ(bands.Next(), platform::CodecStatus::Decoded) << f.name;
                ASSERT_LE(bands.Count(), bandRows) << f.name;
                ASSERT_TRUE(
                    bands.ReadRows(0, bands.Count(),
                                   rows.data() + static_cast<std::size_t>(bands.First()) * rowBytes,
                                   static_cast<std::ptrdiff_t>(rowBytes)))
                    << f.name;
            }
            EXPECT_EQ(rows, whole) << f.name << ", bands of " << bandRows;
            EXPECT_EQ(bands.Next(), platform::CodecStatus::Failed) << "no band is left";
        }
    }
}

}  // namespace
