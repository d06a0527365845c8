// Depth conversion of codec-compressed bitmaps through the codec seam, with stand-in decoders:
// what the bitmap hands the decoder, and what it does with each answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "bitmap/cdib.h"
#include "platform/picture_codec.h"
#include "tests/bitmap/bmp_builder.h"

namespace {

constexpr int kWidth = 6;
constexpr int kHeight = 3;
constexpr std::uint32_t kFourcc = 0x64697663;  // "cvid"
const std::vector<std::uint8_t> kData = {1, 2, 3, 4, 5, 6, 7, 8};

platform::CompressedPicture lastInput;
std::vector<std::uint8_t> lastData;

// Answers with a picture whose pixel (x, y) is (x, y, 200) in blue, green, red, of the size
// the header claims plus `grow` columns.
template <int grow>
platform::CodecStatus PaintingDecoder(const platform::CompressedPicture& input,
                                      platform::DecodedPicture& picture) {
    lastInput = input;
    lastData.assign(input.data.begin(), input.data.end());
    picture.width = input.width + grow;
    picture.height = input.height;
    picture.bgr.clear();
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x)
            picture.bgr.insert(picture.bgr.end(), {static_cast<std::uint8_t>(x),
                                                   static_cast<std::uint8_t>(y), 200});
    }
    return platform::CodecStatus::Decoded;
}

platform::CodecStatus RefusingDecoder(const platform::CompressedPicture&,
                                      platform::DecodedPicture& picture) {
    picture = platform::DecodedPicture{};
    return platform::CodecStatus::Failed;
}

CDIB Compressed() {
    std::vector<std::uint8_t> packed =
        PackedHeader(kWidth, kHeight, 16, kFourcc, static_cast<std::uint32_t>(kData.size()));
    packed.insert(packed.end(), kData.begin(), kData.end());
    CDIB dib;
    EXPECT_EQ(dib.CreateFromPackedDib(packed), 1);
    return dib;
}

class CdibCodecSeam : public ::testing::Test {
  protected:
    void TearDown() override { platform::InstallCodecDecoder(nullptr); }
};

TEST_F(CdibCodecSeam, TheDecoderGetsTheHeaderAndTheCodecDataAndItsPictureIsKept) {
    platform::InstallCodecDecoder(PaintingDecoder<0>);
    for (int bits : {24, 32}) {
        SCOPED_TRACE(bits);
        CDIB dib = Compressed();
        ASSERT_EQ(dib.ChangeBitDepth(bits), 1);
        EXPECT_EQ(lastInput.fourcc, kFourcc);
        EXPECT_EQ(lastInput.width, kWidth);
        EXPECT_EQ(lastInput.height, kHeight);
        EXPECT_EQ(lastInput.bitsPerPixel, 16);
        EXPECT_EQ(lastData, kData);
        EXPECT_EQ(dib.IsCompressed(), 0);
        EXPECT_EQ(dib.GetBitCount(), bits);
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{5, 0}, std::pair{2, 2}}) {
            std::uint8_t red = 0, green = 0, blue = 0;
            ASSERT_EQ(dib.GetPixel(x, y, &red, &green, &blue), 1);
            EXPECT_EQ(red, 200) << x << "," << y;
            EXPECT_EQ(green, y) << x << "," << y;
            EXPECT_EQ(blue, x) << x << "," << y;
        }
    }
}

TEST_F(CdibCodecSeam, NoDecoderARefusalOrAWrongSizeLeaveTheBitmapAsItWas) {
    const struct {
        const char* name;
        platform::PictureDecoder decoder;
    } kCases[] = {
        {"no decoder installed", nullptr},
        {"the decoder refuses", RefusingDecoder},
        {"the picture is wider than the header", PaintingDecoder<1>},
    };
    for (const auto& c : kCases) {
        platform::InstallCodecDecoder(c.decoder);
        CDIB dib = Compressed();
        const std::vector<std::uint8_t> before(dib.GetBlock().begin(), dib.GetBlock().end());
        EXPECT_EQ(dib.ChangeBitDepth(24), 0) << c.name;
        EXPECT_FALSE(dib.DecompressTo(24).has_value()) << c.name;
        EXPECT_TRUE(std::ranges::equal(dib.GetBlock(), before)) << c.name;
    }
}

}  // namespace
