// Depth conversion of codec-compressed bitmaps through the codec seam, with stand-in decoders:
// what the bitmap hands the decoder, and what it does with each answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <optional>
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
platform::PictureDestination lastDestination;

// Paints the picture the header claims, pixel (x, y) being (x, y, 200) in blue, green, red, and
// answers `status`.
template <platform::CodecStatus status>
platform::CodecStatus PaintingDecoder(const platform::CompressedPicture& input,
                                      const platform::PictureDestination& destination) {
    lastInput = input;
    lastData.assign(input.data.begin(), input.data.end());
    lastDestination = destination;
    for (int y = 0; y < input.height; ++y) {
        std::uint8_t* row = destination.topRow + y * destination.stride;
        for (int x = 0; x < input.width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(x);
            row[3 * x + 1] = static_cast<std::uint8_t>(y);
            row[3 * x + 2] = 200;
        }
    }
    return status;
}

platform::CodecStatus RefusingDecoder(const platform::CompressedPicture&,
                                      const platform::PictureDestination&) {
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
    platform::InstallCodecDecoder(PaintingDecoder<platform::CodecStatus::Decoded>);
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

// The decoder writes into the bitmap that is kept: the picture is not held twice.
TEST_F(CdibCodecSeam, TheDecoderWritesTheKeptBitmapsOwnRows) {
    platform::InstallCodecDecoder(PaintingDecoder<platform::CodecStatus::Decoded>);
    const std::optional<CDIB> decoded = Compressed().DecompressTo(24);
    ASSERT_TRUE(decoded.has_value());
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(decoded->GetStride());
    EXPECT_EQ(lastDestination.topRow, decoded->GetBits().data() + (kHeight - 1) * stride);
    EXPECT_EQ(lastDestination.stride, -stride);
}

TEST_F(CdibCodecSeam, NoDecoderARefusalOrAFailedDecodeLeaveTheBitmapAsItWas) {
    const struct {
        const char* name;
        platform::PictureDecoder decoder;
    } kCases[] = {
        {"no decoder installed", nullptr},
        {"the decoder refuses", RefusingDecoder},
        {"the decoder fails after writing rows", PaintingDecoder<platform::CodecStatus::Failed>},
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
