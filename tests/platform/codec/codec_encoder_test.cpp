#include "platform/codec/codec_encoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/codec/codec_bridge.h"
#include "platform/codec/codec_fourcc.h"

namespace {

using platform::EncodePicture;
using platform::EncodeStatus;

std::vector<std::uint8_t> Gradient(int width, int height) {
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &bgr[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<std::uint8_t>(4 * x);
            p[1] = static_cast<std::uint8_t>(6 * y);
            p[2] = static_cast<std::uint8_t>(2 * (x + y));
        }
    }
    return bgr;
}

TEST(CodecEncoder, RoundTripsThroughTheDecodeSide) {
    const struct {
        const char* code;
        int bitsPerPixel;
        int quality;
        double tolerance;  // mean difference per channel
    } cases[] = {{"cvid", 24, 7500, 16.0}, {"CVID", 24, 10000, 12.0}, {"msvc", 16, 7500, 8.0},
                 {"CRAM", 16, 0, 8.0},     {"cvid", 24, -5, 24.0},    {"cvid", 24, 20000, 12.0}};
    const int width = 64;
    const int height = 32;
    const std::vector<std::uint8_t> source = Gradient(width, height);
    for (const auto& c : cases) {
        const std::uint32_t fourcc =
            platform::MakeFourcc({c.code[0], c.code[1], c.code[2], c.code[3], '\0'});
        platform::EncodedPicture encoded;
        ASSERT_EQ(EncodePicture(fourcc, {width, height, source}, c.quality, encoded),
                  EncodeStatus::Encoded)
            << c.code;
        EXPECT_EQ(encoded.fourcc, fourcc);
        EXPECT_EQ(encoded.bitsPerPixel, c.bitsPerPixel) << c.code;
        ASSERT_FALSE(encoded.data.empty());

        std::vector<std::uint8_t> decoded(source.size());
        ASSERT_EQ(platform::DecodeCompressedPicture(
                      {fourcc, width, height, encoded.bitsPerPixel, encoded.data},
                      {decoded.data(), width * 3}),
                  platform::CodecStatus::Decoded)
            << c.code;
        double difference = 0;
        for (std::size_t i = 0; i < source.size(); ++i) {
            difference += std::abs(decoded[i] - source[i]);
        }
        EXPECT_LT(difference / static_cast<double>(source.size()), c.tolerance) << c.code;
    }
}

// A flat picture is the one each codec codes in the fewest bytes: whatever size the suite
// compresses, the record it makes holds at least what the decode side asks of a picture that
// size, so it decodes.
TEST(CodecEncoder, FlatPicturesOfEverySizeDecode) {
    for (const std::uint32_t fourcc :
         {platform::MakeFourcc("cvid"), platform::MakeFourcc("msvc")}) {
        const std::string code = platform::FourccText(fourcc);
        for (const auto& [width, height] : {std::pair{4, 4}, {64, 32}, {1024, 512}}) {
            for (const int quality : {0, 10000}) {
                const std::vector<std::uint8_t> flat(static_cast<std::size_t>(width) * height * 3,
                                                     0x80);
                platform::EncodedPicture encoded;
                ASSERT_EQ(EncodePicture(fourcc, {width, height, flat}, quality, encoded),
                          EncodeStatus::Encoded)
                    << code << " " << width;
                EXPECT_GE(encoded.data.size(), platform::FewestCodedBytes(fourcc, width, height))
                    << code << " " << width << " x " << height << " at " << quality;
                std::vector<std::uint8_t> decoded(flat.size());
                EXPECT_EQ(platform::DecodeCompressedPicture(
                              {fourcc, width, height, encoded.bitsPerPixel, encoded.data},
                              {decoded.data(), width * 3}),
                          platform::CodecStatus::Decoded)
                    << code << " " << width << " x " << height << " at " << quality;
            }
        }
    }
}

TEST(CodecEncoder, RefusesWhatItCannotEncode) {
    const std::vector<std::uint8_t> pixels = Gradient(64, 32);
    const struct {
        const char* name;
        const char* code;
        int width, height;
        std::size_t bytes;
    } cases[] = {{"Indeo has no encoder", "iv41", 64, 32, pixels.size()},
                 {"unknown code", "xyzw", 64, 32, pixels.size()},
                 {"width not a multiple of 4", "cvid", 62, 32, pixels.size()},
                 {"height not a multiple of 4", "msvc", 64, 30, pixels.size()},
                 {"no rows", "cvid", 64, 0, pixels.size()},
                 {"pixels short", "msvc", 64, 32, pixels.size() - 1}};
    for (const auto& c : cases) {
        const std::uint32_t fourcc =
            platform::MakeFourcc({c.code[0], c.code[1], c.code[2], c.code[3], '\0'});
        platform::EncodedPicture encoded;
        encoded.data = {1, 2, 3};
        EXPECT_EQ(
            EncodePicture(fourcc, {c.width, c.height, {pixels.data(), c.bytes}}, 7500, encoded),
            EncodeStatus::Failed)
            << c.name;
        EXPECT_TRUE(encoded.data.empty()) << c.name;
    }
}

}  // namespace
