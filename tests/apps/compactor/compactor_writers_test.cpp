#include "apps/compactor/compactor_writers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "apps/compactor/compression_codec.h"
#include "bitmap/cdib.h"
#include "platform/codec/codec_bridge.h"
#include "tests/apps/compactor/panorama_view.h"
#include "tests/apps/compactor/temp_config.h"
#include "tests/apps/compactor/test_pictures.h"

namespace {

// Codec bitmaps written here are read back through the codec bridge, as the program installs it.
class WritersTest : public TempConfigTest {
  protected:
    void SetUp() override {
        TempConfigTest::SetUp();
        platform::InstallCodecDecoder(platform::DecodeCompressedPicture);
    }
    void TearDown() override {
        platform::InstallCodecDecoder(nullptr);
        TempConfigTest::TearDown();
    }
};

// The JPEG stream of a container in the compressor's layout.
std::vector<std::uint8_t> JpegOf(const std::vector<std::uint8_t>& container) {
    return {container.begin() + 64, container.end()};
}

// The byte layout itself is checked with the container builder; here: the panorama's INIT
// values, the total size and a decodable JFIF stream behind the 64-byte head.
TEST_F(WritersTest, PanoramaHoldsDefaultInitAndTheJpeg) {
    const CDIB picture = GradientPicture(64, 32);
    std::vector<std::uint8_t> container;
    ASSERT_EQ(BuildPanoramaContainer(picture, 75, container), 1);
    ASSERT_GT(container.size(), 68u);
    EXPECT_EQ(std::string(container.begin(), container.begin() + 4), "HVXK");
    EXPECT_EQ(Le32(container, 4), container.size());
    EXPECT_EQ(std::vector<std::uint8_t>(container.begin() + 48, container.begin() + 64),
              std::vector<std::uint8_t>(16, 0));
    EXPECT_EQ(Le32(container, 64), 0xE0FFD8FFu);  // JFIF
    DecodedPicture24 decoded;
    ASSERT_TRUE(DecodeJpegForTest(JpegOf(container), decoded));
    EXPECT_EQ(decoded.width, 64);
    EXPECT_EQ(decoded.height, 32);
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

TEST_F(WritersTest, FilesWrittenAndTheMessages) {
    struct Case {
        const char* name;
        int codec, width, height, thumbnail;
        const char* folder;  // where the output goes, under the scratch folder
        int result;
        std::vector<std::string> messages;
        bool panoramaWritten;
        bool thumbnailWritten;
    };
    const std::string notMultiple =
        "Currently it is only possible to create thumbnails\nfrom JPEG images that have a width "
        "and height which is a\nmultiple of 16.";
    const std::string noFile = "Failed to open file for writing panorama";
    const std::string no24 = "Failed to convert to 24 bit";
    const int jpeg = kCodecJpeg;
    const Case cases[] = {
        {"not a multiple of 4", jpeg, 102, 50, 1, "", 0, {"Failed to create panorama"}, 0, 0},
        {"thumbnail refused", jpeg, 68, 64, 1, "", 1, {notMultiple}, 1, 0},
        {"thumbnail too thin", jpeg, 32, 16, 1, "", 0, {"Failed to create thumbnail"}, 1, 0},
        {"no thumbnail asked", jpeg, 68, 64, 0, "", 1, {}, 1, 0},
        {"with thumbnail", jpeg, 256, 128, 1, "", 1, {}, 1, 1},
        {"folder missing", jpeg, 64, 64, 1, "missing/", 0, {noFile}, 0, 0},
        {"indeo has no encoder", kCodecIndeo, 64, 32, 1, "", 0, {no24}, 0, 0},
        {"unknown codec", 9, 16, 16, 1, "", 0, {}, 0, 0},
    };
    for (const Case& c : cases) {
        messages_.clear();
        const std::string out = Scratch(std::string(c.folder) + c.name + ".pan");
        CDIB picture = GradientPicture(c.width, c.height);
        EXPECT_EQ(WriteCompressedOutput(picture, c.codec, 75, out, c.thumbnail, Recorder()),
                  c.result)
            << c.name;
        EXPECT_EQ(messages_, c.messages) << c.name;
        EXPECT_EQ(std::filesystem::exists(out), c.panoramaWritten) << c.name;
        EXPECT_EQ(std::filesystem::exists(out + "Thumbnail"), c.thumbnailWritten) << c.name;
        EXPECT_EQ(picture.IsCompressed(), 0) << c.name;
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

}  // namespace
