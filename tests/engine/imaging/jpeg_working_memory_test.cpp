// The JPEG decoder's own memory beside the picture it makes: a progressive stream's
// coefficients and the colour quantizer's copy of the picture are held to the working memory
// of the picture ceiling, so that a tiny stream claiming a huge picture costs nothing.

#include <cstdlib>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

#include "engine/imaging/jpeg_glue.h"
#include "platform/picture_limits.h"
#include "tests/engine/imaging/test_bitmaps.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A `side` x `side` picture of smooth colour ramps, 4:2:0, baseline or progressive.
Bytes Encode(int side, bool progressive) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = info.image_height = static_cast<JDIMENSION>(side);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    Bytes rgb(static_cast<std::size_t>(side) * 3);
    for (JSAMPROW row = rgb.data(); info.next_scanline < info.image_height;) {
        for (int x = 0; x < side; ++x) {
            rgb[3 * x] = static_cast<std::uint8_t>(x * 255 / side);
            rgb[3 * x + 1] = static_cast<std::uint8_t>(info.next_scanline * 255 / side);
            rgb[3 * x + 2] = static_cast<std::uint8_t>(255 - x * 255 / side);
        }
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes stream(out, out + size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return stream;
}

// A 64 x 64 progressive 4:2:0 stream keeps 64 luma and 2 x 16 chroma blocks of 128 bytes.
constexpr std::uint64_t kCoefficients64 = (64 + 2 * 16) * 128;

TEST(JpegWorkingMemory, ProgressiveCoefficientsAreHeldToTheWorkingMemory) {
    const Bytes progressive = Encode(64, true);
    const Bytes baseline = Encode(64, false);
    const Bytes tiny = Encode(16, true);
    const struct {
        const char* name;
        Bytes stream;
        platform::PictureCap cap;
        bool decodes;
    } cases[] = {
        {"progressive, coefficients exactly fit", progressive, {.working = kCoefficients64}, true},
        {"progressive, one byte short", progressive, {.working = kCoefficients64 - 1}, false},
        {"baseline keeps no coefficients", baseline, {.working = 0}, true},
        {"progressive claiming 16384 x 16384", WithJpegSides(tiny, 16384, 16384), {}, false},
        {"progressive claiming 16384 x 8192", WithJpegSides(tiny, 16384, 8192), {}, false},
        {"progressive claiming 8192 x 4096", WithJpegSides(tiny, 8192, 4096), {}, true},
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

// The mean difference per channel between an 8-bit decode and the 24-bit one.
long MeanError(const GlobalDib& quantized, const GlobalDib& full, int side) {
    long error = 0;
    for (int i = 0; i < side * side; ++i) {
        const std::uint8_t* a = quantized.Colours() + 4 * quantized.Pixels()[i];
        const std::uint8_t* b = full.Pixels() + 3 * static_cast<std::size_t>(i);
        for (int channel = 0; channel < 3; ++channel)
            error += std::abs(a[channel] - b[channel]);
    }
    return error / (side * side * 3);
}

// Colour quantization for an 8-bit display whose copy of the picture would not fit quantizes
// to a colour map chosen from the picture at an eighth of its size, without the copy: the
// result stays about as close to the picture as the one that had room for it.
TEST(JpegWorkingMemory, QuantizingWithoutRoomForACopyStaysFaithful) {
    constexpr int kSide = 256;
    for (const bool progressive : {false, true}) {
        const Bytes stream = Encode(kSide, progressive);
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
