#include "engine/imaging/image_decoder.h"

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "platform/codec/codec_fourcc.h"
#include "platform/display_depth.h"
#include "tests/engine/imaging/test_bitmaps.h"
#include "tests/platform/codec/ffmpeg_test_encoder.h"

namespace {

std::string FailureText(const std::vector<std::uint8_t>& record) {
    try {
        DecompressImage(record);
    } catch (const LoadError& error) {
        return error.what();
    }
    return "decoded";
}

class ImageDecoder : public ::testing::Test {
  protected:
    void TearDown() override { platform::ClearDisplayDepthOverride(); }
};

std::vector<std::uint8_t> SmallJpeg() {
    const std::vector<std::uint8_t> pixels(8 * 8 * 3, 0x80);
    const std::vector<std::uint8_t> info = InfoOf(MakeHeader(8, 8, 24));
    return DibToJpeg(info, pixels, 75);
}

TEST_F(ImageDecoder, RecognisesRecordsByTheirFirstBytes) {
    const std::vector<std::uint8_t> jpeg = SmallJpeg();
    std::vector<std::uint8_t> exif = jpeg;
    exif[3] = 0xE1;
    const std::vector<std::uint8_t> rows(4 * 3 * 4, 0x22);
    const struct {
        const char* name;
        std::vector<std::uint8_t> record;
        bool decodes;
    } cases[] = {
        {"JFIF stream", jpeg, true},
        {"EXIF stream", exif, false},
        {"bitmap file", MakeRecord(MakeHeader(4, 4, 24), {}, rows, true), true},
        {"bare information header", MakeRecord(MakeHeader(4, 4, 24), {}, rows, false), true},
        {"other bytes", {'G', 'I', 'F', '8', '9', 'a'}, false},
        {"empty record", {}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FailureText(c.record), c.decodes ? "decoded" : "Unsupported file fomat")
            << c.name;
    }
}

TEST_F(ImageDecoder, TopDownBitmapComesOutBottomUp) {
    // Rows top-down: 0x11..., 0x22..., 0x33..., 0x44... (4 x 4, 24-bit).
    std::vector<std::uint8_t> rows;
    for (std::uint8_t level : {0x11, 0x22, 0x33, 0x44})
        rows.insert(rows.end(), 12, level);
    const GlobalDib dib = DecompressImage(MakeRecord(MakeHeader(4, -4, 24), {}, rows, true));
    EXPECT_EQ(dib.Header().biHeight, 4);
    for (int stored = 0; stored < 4; ++stored)
        EXPECT_EQ(dib.Data()[40 + stored * 12], 0x44 - 0x11 * stored);
}

// Records whose header does not fit them, or that the decoder cannot take: refused, never read
// past their end (the address sanitizer watches the reads).
TEST_F(ImageDecoder, RefusesRecordsThatLie) {
    const std::vector<std::uint8_t> rows(4 * 4 * 4, 0x10);
    auto withHeader = [](platform::BitmapInfoHeader header, std::size_t dataBytes,
                         bool fileHeader = false) {
        return MakeRecord(header, {}, std::vector<std::uint8_t>(dataBytes, 0x5A), fileHeader);
    };
    platform::BitmapInfoHeader longerHeader = MakeHeader(4, 4, 24);
    longerHeader.biSize = 124;
    platform::BitmapInfoHeader lyingCodecSize =
        MakeHeader(16, 16, 24, platform::MakeFourcc("cvid"));
    lyingCodecSize.biSizeImage = 1000;
    std::vector<std::uint8_t> shortHeader = withHeader(MakeHeader(4, 4, 24), 0);
    shortHeader.resize(39);
    const struct {
        const char* name;
        std::vector<std::uint8_t> record;
    } cases[] = {
        {"file header alone", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0}},
        {"information header cut short", shortHeader},
        {"header size not 40", withHeader(longerHeader, 48)},
        {"width 0", withHeader(MakeHeader(0, 4, 24), 48)},
        {"negative width", withHeader(MakeHeader(-4, 4, 24), 48)},
        {"height 0", withHeader(MakeHeader(4, 0, 24), 48)},
        {"height without a magnitude", withHeader(MakeHeader(4, INT_MIN, 24), 48)},
        {"4 bits", withHeader(MakeHeader(4, 4, 4), 48)},
        {"1 bit", withHeader(MakeHeader(8, 4, 1), 48)},
        {"masks on 24 bits", MakeRecord(MakeHeader(4, 4, 24, 3), Masks565(), rows, false)},
        {"8 bits without full colour table",
         MakeRecord(MakeHeader(4, 4, 8), std::vector<std::uint8_t>(1020), {}, false)},
        {"16 bits with masks cut short",
         MakeRecord(MakeHeader(4, 4, 16, 3), std::vector<std::uint8_t>(8), {}, false)},
        {"pixels one byte short", withHeader(MakeHeader(4, 4, 24), 47, true)},
        {"huge width", withHeader(MakeHeader(INT_MAX, 1, 32), 64)},
        {"huge height", withHeader(MakeHeader(4, INT_MAX, 32), 64)},
        {"width times height overflows", withHeader(MakeHeader(1 << 30, 1 << 30, 32), 64)},
        {"codec image size beyond the record", withHeader(lyingCodecSize, 100)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FailureText(c.record), "Unsupported file fomat") << c.name;
}

// 32 x 16 picture: left half orange, right half teal; top-down packed rows for the encoders.
constexpr int kCodecWidth = 32;
constexpr int kCodecHeight = 16;

std::vector<std::uint8_t> HalvesPicture() {
    std::vector<std::uint8_t> bgr;
    for (int y = 0; y < kCodecHeight; ++y) {
        for (int x = 0; x < kCodecWidth; ++x) {
            if (y < kCodecHeight / 2) {
                bgr.insert(bgr.end(), {32, 128, 240});  // top band
            } else if (x < kCodecWidth / 2) {
                bgr.insert(bgr.end(), {200, 180, 20});
            } else {
                bgr.insert(bgr.end(), {16, 16, 16});
            }
        }
    }
    return bgr;
}

TEST_F(ImageDecoder, CodecRecordsDecodeToThePictureBottomUp) {
    const std::vector<std::uint8_t> picture = HalvesPicture();
    const struct {
        const char* fourcc;
        AVCodecID encoder;
        int bitCount;
    } cases[] = {{"cvid", AV_CODEC_ID_CINEPAK, 24}, {"msvc", AV_CODEC_ID_MSVIDEO1, 16}};
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> data =
            EncodeTestPicture(c.encoder, picture, kCodecWidth, kCodecHeight);
        ASSERT_FALSE(data.empty()) << c.fourcc;
        platform::BitmapInfoHeader header = MakeHeader(kCodecWidth, kCodecHeight, c.bitCount, 0);
        std::memcpy(&header.biCompression, c.fourcc, 4);
        header.biSizeImage = static_cast<std::uint32_t>(data.size());
        std::vector<std::uint8_t> padded = data;
        padded.resize((data.size() + 3) / 4 * 4);
        for (int display : {24, 16}) {
            ASSERT_TRUE(platform::OverrideDisplayDepth(display));
            const GlobalDib dib = DecompressImage(MakeRecord(header, {}, padded, true));
            const platform::BitmapInfoHeader out = dib.Header();
            EXPECT_EQ(out.biWidth, kCodecWidth);
            EXPECT_EQ(out.biHeight, kCodecHeight);
            EXPECT_EQ(out.biBitCount, display);
            EXPECT_EQ(out.biCompression, display == 16 ? 3U : 0U);
            if (display != 24)
                continue;
            // Stored row 0 is the picture's bottom row.
            const std::size_t stride = kCodecWidth * 3;
            for (int stored = 0; stored < kCodecHeight; ++stored) {
                const std::uint8_t* row = dib.Data() + 40 + stored * stride;
                const std::uint8_t* expected =
                    picture.data() + (kCodecHeight - 1 - stored) * stride;
                for (std::size_t i = 0; i < stride; ++i) {
                    ASSERT_NEAR(row[i], expected[i], 24)
                        << c.fourcc << " stored row " << stored << " byte " << i;
                }
            }
        }
    }
}

TEST_F(ImageDecoder, CodecFailureNamesTheCode) {
    const std::vector<std::uint8_t> garbage(64, 0xAB);
    const struct {
        const char* fourcc;
        const char* text;
    } cases[] = {
        {"abcd", "File decompression failed; Codec: abcd"},
        {"cvid", "File decompression failed; Codec: cvid"},
        {"IV41", "File decompression failed; Codec: IV41"},
    };
    for (const auto& c : cases) {
        platform::BitmapInfoHeader header = MakeHeader(16, 16, 24);
        std::memcpy(&header.biCompression, c.fourcc, 4);
        EXPECT_EQ(FailureText(MakeRecord(header, {}, garbage, false)), c.text);
    }
}

}  // namespace
