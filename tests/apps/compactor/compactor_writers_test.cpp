#include "apps/compactor/compactor_writers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "apps/compactor/compression_codec.h"
#include "bitmap/cdib.h"
#include "tests/apps/compactor/panorama_view.h"
#include "tests/apps/compactor/temp_config.h"
#include "tests/apps/compactor/test_pictures.h"

namespace {

class WritersTest : public TempConfigTest {
  protected:
    MessageSink Recorder() {
        return [this](std::string_view text) { messages_.emplace_back(text); };
    }
    std::vector<std::string> messages_;
};

// The JPEG stream of a container in the compressor's layout.
std::vector<std::uint8_t> JpegOf(const std::vector<std::uint8_t>& container) {
    return {container.begin() + 64, container.end()};
}

TEST_F(WritersTest, PanoramaHeadIsTheFixedLayout) {
    const CDIB picture = GradientPicture(64, 32);
    std::vector<std::uint8_t> container;
    ASSERT_EQ(BuildPanoramaContainer(picture, 75, container), 1);
    ASSERT_GT(container.size(), 64u);
    const auto n = static_cast<std::uint32_t>(container.size() - 64);

    std::vector<std::uint8_t> expected(64, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            expected[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    std::memcpy(&expected[0], "HVXK", 4);
    put32(4, n + 64);
    put32(8, 2);
    std::memcpy(&expected[16], "INIT", 4);
    put32(20, 48);
    put32(24, 16);
    std::memcpy(&expected[32], "BTMP", 4);
    put32(36, 64);
    put32(40, n);
    EXPECT_EQ(std::vector<std::uint8_t>(container.begin(), container.begin() + 64), expected);
    const std::vector<std::uint8_t> jfif = {0xFF, 0xD8, 0xFF, 0xE0};
    EXPECT_EQ(std::vector<std::uint8_t>(container.begin() + 64, container.begin() + 68), jfif);

    DecodedPicture24 decoded;
    ASSERT_TRUE(DecodeJpegForTest(JpegOf(container), decoded));
    EXPECT_EQ(decoded.width, 64);
    EXPECT_EQ(decoded.height, 32);
}

TEST_F(WritersTest, SmallAndHighQualityPicturesStillEncode) {
    // Tiny or noisy pictures at quality 100 give streams longer than one byte per pixel.
    for (const int side : {4, 8, 64}) {
        CDIB noise(side, side, 24);
        unsigned seed = 12345;
        for (std::uint8_t& byte : noise.GetBits()) {
            seed = seed * 1103515245u + 12345u;
            byte = static_cast<std::uint8_t>(seed >> 16);
        }
        std::vector<std::uint8_t> container;
        EXPECT_EQ(BuildPanoramaContainer(noise, 100, container), 1) << side;
        EXPECT_GT(container.size() - 64, static_cast<std::size_t>(side * side)) << side;
    }
}

TEST_F(WritersTest, ThumbnailSamplesTheHorizonBand) {
    // Stored rows 3H/8 + 4i at columns 4j are red; every other pixel is blue. The thumbnail
    // must come out red throughout.
    const int width = 256;
    const int height = 128;
    CDIB picture(width, height, 24);
    for (int storedRow = 0; storedRow < height; ++storedRow) {
        const bool sampledRow =
            storedRow >= 3 * height / 8 && storedRow < 5 * height / 8 && storedRow % 4 == 0;
        for (int x = 0; x < width; ++x) {
            const bool red = sampledRow && x % 4 == 0;
            picture.SetPixel(x, height - 1 - storedRow, red ? 255 : 0, 0, red ? 0 : 255);
        }
    }
    std::vector<std::uint8_t> container;
    ASSERT_EQ(BuildThumbnailContainer(picture, 90, container), 1);
    const std::vector<std::int16_t> init = {360, 45, 0, 0, 0, 0, 0, 60};
    for (std::size_t i = 0; i < init.size(); ++i)
        EXPECT_EQ(Le16(container, 48 + 2 * i), init[i]);
    EXPECT_EQ(Le32(container, 4), container.size());

    DecodedPicture24 thumb;
    ASSERT_TRUE(DecodeJpegForTest(JpegOf(container), thumb));
    ASSERT_EQ(thumb.width, width / 4);
    ASSERT_EQ(thumb.height, height / 16);
    for (std::size_t p = 0; p < thumb.bgr.size(); p += 3) {
        ASSERT_LT(thumb.bgr[p], 24) << "blue at byte " << p;
        ASSERT_GT(thumb.bgr[p + 2], 230) << "red at byte " << p;
    }
}

TEST_F(WritersTest, ThumbnailSamplingFitsOnlyWhereItStaysInside) {
    const struct {
        int width, height;
        bool fits;
    } cases[] = {{4096, 2048, true},  {16, 16, true}, {32, 64, true}, {4100, 2048, false},
                 {4096, 2050, false}, {8, 8, false},  {0, 0, false},  {-16, 16, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(ThumbnailSamplingFits(c.width, c.height), c.fits) << c.width << "x" << c.height;
    }
}

TEST_F(WritersTest, PanoramaWithThumbnailFiles) {
    const std::string out = Scratch("big.pan");
    CDIB large(4096, 2048, 24);
    std::memset(large.GetBits().data(), 0x80, large.GetBits().size());
    ASSERT_EQ(WriteCompressedOutput(large, kCodecJpeg, 75, out, 1, Recorder()), 1);
    EXPECT_TRUE(messages_.empty());
    const std::vector<std::uint8_t> thumbFile = FileBytes(out + "Thumbnail");
    ASSERT_GT(thumbFile.size(), 64u);
    DecodedPicture24 thumb;
    ASSERT_TRUE(DecodeJpegForTest(JpegOf(thumbFile), thumb));
    EXPECT_EQ(thumb.width, 1024);
    EXPECT_EQ(thumb.height, 128);
    EXPECT_EQ(Le16(thumbFile, 48), 360);
    const std::vector<std::uint8_t> panorama = FileBytes(out);
    ASSERT_GT(panorama.size(), 64u);
    EXPECT_EQ(Le32(panorama, 4), panorama.size());
}

TEST_F(WritersTest, PanoramaFailuresAndTheirMessages) {
    struct Case {
        const char* name;
        int width, height, thumbnail;
        const char* folder;  // where the output goes, under the scratch folder
        int result;
        std::vector<std::string> messages;
        bool panoramaWritten;
        bool thumbnailWritten;
    };
    const std::string notMultiple =
        "Currently it is only possible to create thumbnails\nfrom JPEG images that have a width "
        "and height which is a\nmultiple of 16.";
    const Case cases[] = {
        {"not a multiple of 4", 102, 50, 1, "", 0, {"Failed to create panorama"}, false, false},
        {"thumbnail refused", 68, 64, 1, "", 1, {notMultiple}, true, false},
        {"thumbnail too thin for JPEG",
         32,
         16,
         1,
         "",
         0,
         {"Failed to create thumbnail"},
         true,
         false},
        {"no thumbnail asked", 68, 64, 0, "", 1, {}, true, false},
        {"folder missing",
         64,
         64,
         1,
         "missing/",
         0,
         {"Failed to open file for writing panorama"},
         false,
         false},
    };
    for (const Case& c : cases) {
        messages_.clear();
        const std::string out = Scratch(std::string(c.folder) + c.name + ".pan");
        CDIB picture = GradientPicture(c.width, c.height);
        EXPECT_EQ(WriteCompressedOutput(picture, kCodecJpeg, 75, out, c.thumbnail, Recorder()),
                  c.result)
            << c.name;
        EXPECT_EQ(messages_, c.messages) << c.name;
        EXPECT_EQ(std::filesystem::exists(out), c.panoramaWritten) << c.name;
        EXPECT_EQ(std::filesystem::exists(out + "Thumbnail"), c.thumbnailWritten) << c.name;
    }
}

TEST_F(WritersTest, PlainBitmapsHaveExactPixels) {
    // 3 x 2 pixels: rows padded to 4 bytes in both depths.
    CDIB picture(3, 2, 24);
    const std::uint8_t colours[2][3][3] = {{{255, 128, 7}, {0, 0, 0}, {8, 16, 24}},
                                           {{255, 255, 255}, {1, 2, 3}, {200, 100, 50}}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            picture.SetPixel(x, y, colours[y][x][0], colours[y][x][1], colours[y][x][2]);
        }
    }

    const std::string out24 = Scratch("plain24.bmp");
    CDIB copy24 = picture;
    ASSERT_EQ(WriteCompressedOutput(copy24, kCodec24Bit, 75, out24, 1, Recorder()), 1);
    const std::vector<std::uint8_t> file24 = FileBytes(out24);
    ASSERT_EQ(file24.size(), 54u + 24u);
    EXPECT_EQ(Le32(file24, 10), 54u);
    EXPECT_EQ(Le16(file24, 28), 24);
    // Stored bottom row first: the picture's row 1, then row 0, blue-green-red, 3 pad bytes.
    const std::vector<std::uint8_t> rows24 = {255, 255, 255, 3, 2, 1, 50, 100, 200, 0, 0, 0,
                                              7,   128, 255, 0, 0, 0, 24, 16,  8,   0, 0, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(file24.begin() + 54, file24.end()), rows24);

    const std::string out16 = Scratch("plain16.bmp");
    CDIB copy16 = picture;
    ASSERT_EQ(WriteCompressedOutput(copy16, kCodec16Bit, 75, out16, 1, Recorder()), 1);
    const std::vector<std::uint8_t> file16 = FileBytes(out16);
    ASSERT_EQ(file16.size(), 54u + 16u);
    EXPECT_EQ(Le16(file16, 28), 16);
    EXPECT_EQ(Le32(file16, 30), 0u);  // 5-5-5, no bit fields
    // (255,255,255) 7FFF, (1,2,3) 0000, (200,100,50) 6586; (255,128,7) 7E00, (0,0,0) 0000,
    // (8,16,24) 0443; each row padded by 2 bytes.
    const std::vector<std::uint8_t> rows16 = {0xFF, 0x7F, 0x00, 0x00, 0x86, 0x65, 0, 0,
                                              0x00, 0x7E, 0x00, 0x00, 0x43, 0x04, 0, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(file16.begin() + 54, file16.end()), rows16);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(WritersTest, CodecBitmapsRoundTripThroughTheBridge) {
    const struct {
        int codec;
        const char* fourcc;
        int bitCount;
        double tolerance;  // mean difference per channel
    } cases[] = {{kCodecCinepak, "cvid", 24, 16.0}, {kCodecVideo1, "msvc", 16, 8.0}};
    const CDIB picture = GradientPicture(64, 32);
    for (const auto& c : cases) {
        const std::string out = Scratch(std::string(c.fourcc) + ".bmp");
        CDIB work = picture;
        ASSERT_EQ(WriteCompressedOutput(work, c.codec, 75, out, 1, Recorder()), 1) << c.fourcc;
        const std::vector<std::uint8_t> file = FileBytes(out);
        ASSERT_GT(file.size(), 54u) << c.fourcc;
        EXPECT_EQ(std::string(file.begin() + 30, file.begin() + 34), c.fourcc);
        EXPECT_EQ(Le16(file, 28), c.bitCount) << c.fourcc;
        EXPECT_EQ(file.size() % 4, 54u % 4) << c.fourcc;  // data padded to 4 bytes

        CDIB loaded;
        ASSERT_EQ(loaded.Load(out), 1) << c.fourcc;
        EXPECT_EQ(loaded.IsCompressed(), 1) << c.fourcc;
        ASSERT_EQ(loaded.ChangeBitDepth(24), 1) << c.fourcc;
        ASSERT_EQ(loaded.GetWidth(), 64);
        ASSERT_EQ(loaded.GetHeight(), 32);
        EXPECT_LT(MeanDifference(loaded, picture), c.tolerance) << c.fourcc;
    }
    EXPECT_TRUE(messages_.empty());
}

TEST_F(WritersTest, CinepakQualityChangesTheCodecOutput) {
    const CDIB picture = GradientPicture(128, 64);
    CDIB low = picture;
    CDIB high = picture;
    ASSERT_EQ(CompressWithCodec(low, "cvid", 0), 1);
    ASSERT_EQ(CompressWithCodec(high, "cvid", 100), 1);
    EXPECT_LT(low.GetHeader().biSizeImage, high.GetHeader().biSizeImage);
}

TEST_F(WritersTest, IndeoHasNoEncoder) {
    const std::string out = Scratch("indeo.bmp");
    CDIB picture = GradientPicture(64, 32);
    EXPECT_EQ(WriteCompressedOutput(picture, kCodecIndeo, 75, out, 1, Recorder()), 0);
    EXPECT_EQ(messages_, std::vector<std::string>{"Failed to convert to 24 bit"});
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(picture.IsCompressed(), 0);
}

TEST_F(WritersTest, UnknownCodecWritesNothing) {
    const std::string out = Scratch("unknown.out");
    CDIB picture = GradientPicture(16, 16);
    EXPECT_EQ(WriteCompressedOutput(picture, 9, 75, out, 1, Recorder()), 0);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_TRUE(messages_.empty());
}

}  // namespace
