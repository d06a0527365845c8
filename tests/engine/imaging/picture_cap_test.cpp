// The picture ceiling on every decode path of an image record: a picture exactly at the ceiling
// decodes, one pixel or one byte over is refused with the path's own text, and the small hostile
// records that once asked for gigabytes are refused from their headers. The JPEG decoder's own
// arrays beside the picture (a progressive stream's coefficients, the colour quantizer's copy)
// are held to the working memory.

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/imaging/image_decoder.h"
#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "platform/display_depth.h"
#include "platform/picture_limits.h"
#include "tests/engine/imaging/ramp_jpeg.h"
#include "tests/engine/imaging/test_bitmaps.h"
#include "tests/platform/codec/ffmpeg_test_encoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Outcome(const Bytes& record) {
    try {
        DecompressImage(record);
    } catch (const LoadError& error) {
        return error.what();
    }
    return "decoded";
}

Bytes Jpeg(int width, int height) {
    const Bytes pixels(static_cast<std::size_t>(width) * height * 3, 0x60);
    return DibToJpeg(InfoOf(MakeHeader(width, height, 24)), pixels, 75);
}

Bytes CinepakRecord(int width, int height) {
    const Bytes bgr(static_cast<std::size_t>(width) * height * 3, 0x40);
    Bytes data = EncodeTestPicture(AV_CODEC_ID_CINEPAK, bgr, width, height);
    platform::BitmapInfoHeader header = MakeHeader(width, height, 24);
    std::memcpy(&header.biCompression, "cvid", 4);
    header.biSizeImage = static_cast<std::uint32_t>(data.size());
    return MakeRecord(header, {}, data, true);
}

Bytes PlainRecord(int width, int height) {
    const Bytes rows(platform::DibRowStride(width, 24) * static_cast<std::size_t>(height), 0x33);
    return MakeRecord(MakeHeader(width, height, 24), {}, rows, true);
}

class PictureCap : public ::testing::Test {
  protected:
    void SetUp() override { platform::OverrideDisplayDepth(24); }
    void TearDown() override { platform::ClearDisplayDepthOverride(); }
};

// Each path with a 32 x 16 picture (a 24-bit block of 40 + 1536 bytes) under ceilings around it.
TEST_F(PictureCap, EveryRecordPathHonoursTheCeilingAtItsEdge) {
    constexpr std::uint64_t kPixels = 32 * 16;
    constexpr std::uint64_t kBlock = 40 + 32 * 3 * 16;
    const struct {
        const char* path;
        Bytes record;
        const char* refusal;
    } paths[] = {
        {"bitmap record", PlainRecord(32, 16), "Insufficient system memory"},
        {"JPEG stream", Jpeg(32, 16), "Unsupported file fomat"},
        {"cvid record", CinepakRecord(32, 16), "Insufficient system memory"},
    };
    const struct {
        const char* name;
        platform::PictureCap cap;
        bool decodes;
    } ceilings[] = {
        {"exactly at both", {kPixels, kBlock}, true},
        {"one pixel over", {kPixels - 1, kBlock}, false},
        {"one byte over", {kPixels, kBlock - 1}, false},
    };
    for (const auto& p : paths) {
        ASSERT_FALSE(p.record.empty()) << p.path;
        for (const auto& c : ceilings) {
            const platform::ScopedPictureCap cap(c.cap);
            EXPECT_EQ(Outcome(p.record), c.decodes ? "decoded" : p.refusal)
                << p.path << ", " << c.name;
        }
    }
}

// Small streams that claim huge pictures, as an outside fuzzing campaign found them: each once
// made the decoder allocate (and fill) gigabytes. Refused now under the real ceiling.
TEST_F(PictureCap, SmallRecordsClaimingHugePicturesAreRefused) {
    const Bytes smallJpeg = Jpeg(16, 16);
    const struct {
        const char* name;
        Bytes record;
        const char* refusal;
    } cases[] = {
        {"JPEG claiming 60000 x 60000", WithJpegSides(smallJpeg, 60000, 60000),
         "Unsupported file fomat"},
        {"JPEG claiming 65500 x 16385", WithJpegSides(smallJpeg, 65500, 16385),
         "Unsupported file fomat"},
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(c.record.empty()) << c.name;
        EXPECT_LT(c.record.size(), 1024U) << c.name;
        EXPECT_EQ(Outcome(c.record), c.refusal) << c.name;
    }
    for (const int depth : {8, 15, 16}) {
        ASSERT_TRUE(platform::OverrideDisplayDepth(depth));
        EXPECT_EQ(Outcome(cases[0].record), "Unsupported file fomat") << "display depth " << depth;
    }
}

// A codec record claims its size in its header; decoding costs in proportion to that size, so
// a tiny record claiming a picture near the ceiling once took seconds and hundreds of megabytes.
// A record with fewer bytes than its codec spends on a picture that size is refused unread.
TEST_F(PictureCap, CodecRecordsTooSmallForTheirPictureAreRefused) {
    const Bytes small = CinepakRecord(16, 8);
    ASSERT_FALSE(small.empty());
    const std::string refusal = "File decompression failed; Codec: cvid";
    const struct {
        const char* name;
        std::int32_t width;
        std::int32_t height;
        bool patchFrameHeader;
    } cases[] = {
        {"claiming 2048 x 2048", 2048, 2048, false},
        {"claiming 2048 x 2048 in its frame header too", 2048, 2048, true},
        {"claiming 16384 x 2056 in its frame header too", 16384, 2056, true},
    };
    for (const auto& c : cases) {
        Bytes record = small;
        const std::size_t info = platform::kFileHeaderSize;
        platform::BitmapInfoHeader header = platform::LoadInfoHeader(&record[info]);
        header.biWidth = c.width;
        header.biHeight = c.height;
        platform::StoreInfoHeader(&record[info], header);
        if (c.patchFrameHeader) {
            // The Cinepak frame header's sides: big-endian, bytes 4 to 7 of the data.
            std::uint8_t* frame = &record[info + platform::kInfoHeaderSize];
            frame[4] = static_cast<std::uint8_t>(c.width >> 8);
            frame[5] = static_cast<std::uint8_t>(c.width);
            frame[6] = static_cast<std::uint8_t>(c.height >> 8);
            frame[7] = static_cast<std::uint8_t>(c.height);
        }
        EXPECT_LT(record.size(), 512U) << c.name;
        EXPECT_EQ(Outcome(record), refusal) << c.name;
    }
    // The same record at its own size, and a flat picture (the codec's cheapest) at sizes up to
    // a panorama's, still decode.
    EXPECT_EQ(Outcome(small), "decoded");
    for (const auto& [width, height] : {std::pair{4, 4}, {64, 32}, {1024, 512}})
        EXPECT_EQ(Outcome(CinepakRecord(width, height)), "decoded") << width << " x " << height;
}

TEST_F(PictureCap, JpegSizeQueryRefusesOverTheCeiling) {
    const Bytes stream = Jpeg(32, 16);
    platform::BitmapInfoHeader header;
    for (const int depth : {8, 15, 16, 24}) {
        EXPECT_GT(DecodeJpeg(stream, header, {}, depth, 0), 0U) << depth;
        const platform::ScopedPictureCap cap({32 * 16 - 1, platform::kMaxPictureBytes});
        EXPECT_EQ(DecodeJpeg(stream, header, {}, depth, 0), 0U) << depth;
        EXPECT_FALSE(JpegToDib(stream, depth, 0)) << depth;
    }
}

// A 64 x 64 progressive 4:2:0 stream keeps 64 luma and 2 x 16 chroma blocks of 128 bytes.
constexpr std::uint64_t kCoefficients64 = (64 + 2 * 16) * 128;

TEST(JpegWorkingMemory, ProgressiveCoefficientsAreHeldToTheWorkingMemory) {
    const Bytes progressive = RampJpeg(64, true);
    const Bytes baseline = RampJpeg(64, false);
    const struct {
        const char* name;
        Bytes stream;
        platform::PictureCap cap;
        bool decodes;
    } cases[] = {
        {"progressive, coefficients exactly fit", progressive, {.working = kCoefficients64}, true},
        {"progressive, one byte short", progressive, {.working = kCoefficients64 - 1}, false},
        {"baseline keeps no coefficients", baseline, {.working = 0}, true},
        {"progressive claiming 16384 x 8192", WithJpegSides(progressive, 16384, 8192), {}, false},
        {"progressive claiming 8192 x 4096", WithJpegSides(progressive, 8192, 4096), {}, true},
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(c.stream.empty()) << c.name;
        const platform::ScopedPictureCap cap(c.cap);
        platform::BitmapInfoHeader header;
        // The size query refuses before the caller allocates the picture.
        EXPECT_EQ(DecodeJpeg(c.stream, header, {}, 24, 0) != 0, c.decodes) << c.name;
        if (header.biWidth == 64) {
            EXPECT_EQ(static_cast<bool>(JpegToDib(c.stream, 24, 0)), c.decodes) << c.name;
        }
    }
}

// The mean difference per channel between an 8-bit decode `q` and the 24-bit one.
long MeanError(const GlobalDib& q, const GlobalDib& full, int side) {
    long error = 0;
    for (int i = 0; i < side * side * 3; ++i)
        error += std::abs(q.Colours()[4 * q.Pixels()[i / 3] + i % 3] - full.Pixels()[i]);
    return error / (side * side * 3);
}

// Colour quantization for an 8-bit display whose copy of the picture would not fit quantizes
// to a colour map chosen from the picture at an eighth of its size, without the copy: the
// result stays about as close to the picture as the one that had room for it.
TEST(JpegWorkingMemory, QuantizingWithoutRoomForACopyStaysFaithful) {
    constexpr int kSide = 256;
    for (const bool progressive : {false, true}) {
        const Bytes stream = RampJpeg(kSide, progressive);
        const std::uint64_t coefficients = progressive ? 16 * kCoefficients64 : 0;
        const GlobalDib full = JpegToDib(stream, 24, 0);
        const GlobalDib roomy = JpegToDib(stream, 8, 0);
        const platform::ScopedPictureCap cap({.working = coefficients + kSide * kSide * 3 - 1});
        const GlobalDib tight = JpegToDib(stream, 8, 0);
        ASSERT_TRUE(full && roomy && tight) << progressive;
        ASSERT_EQ(tight.Size(), roomy.Size());
        EXPECT_NE(std::memcmp(tight.Colours(), roomy.Colours(), 1024), 0) << "another colour map";
        EXPECT_LE(MeanError(tight, full, kSide), MeanError(roomy, full, kSide) + 2)
            << "progressive " << progressive;
    }
}

}  // namespace
