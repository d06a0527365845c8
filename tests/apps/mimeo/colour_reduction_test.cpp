#include "apps/mimeo/colour_reduction.h"

#include <gtest/gtest.h>

#include <numeric>

#include "apps/mimeo/avatar_builder.h"
#include "apps/mimeo/frame_image.h"
#include "apps/mimeo/transparency.h"
#include "mimeo_test_pictures.h"

namespace {

TEST(FixedPalette, NearestEntryTakesTheLowestIndexAndBlueOnlyWhenExact) {
    struct Case {
        Bgr colour;
        int index;
    };
    const Case cases[] = {
        {{255, 0, 0}, 0},        // pure blue is entry 0
        {{250, 0, 0}, 6},        // nearly blue goes to the cube's blue
        {{10, 10, 10}, 219},     // grey (12, 12, 12) at 6, not the cube's black at 30
        {{0, 0, 0}, 1},          // the cube's black before grey 217
        {{255, 255, 255}, 216},  // white
        {{0, 0, 255}, 181},      // red 255: 1 + 36 x 5
        {{51, 102, 153}, 1 + 36 * 3 + 6 * 2 + 1},
        {{228, 228, 228}, 255},  // the last grey
        {{25, 25, 25}, 221},     // grey 24 at 3; the cube's 0 and 51 are farther
    };
    for (const Case& c : cases)
        EXPECT_EQ(NearestFixedEntry({c.colour.blue, c.colour.green, c.colour.red}), c.index)
            << int{c.colour.blue} << "," << int{c.colour.green} << "," << int{c.colour.red};

    const PackedDib picture = TrueColour(3, 1, [](int x, int) {
        return x == 0 ? Bgr{255, 0, 0} : x == 1 ? Bgr{250, 0, 0} : Bgr{10, 10, 10};
    });
    const std::optional<PackedDib> reduced = QuantizeToFixedPalette(picture);
    ASSERT_TRUE(reduced);
    EXPECT_EQ(HeaderOf(*reduced).biBitCount, 8);
    EXPECT_EQ(Bytes(reduced->begin() + 1064, reduced->end()), (Bytes{0, 6, 219}));
    EXPECT_EQ((*reduced)[40 + 4 * 6 + 0], 255) << "entry 6 is the cube's blue";
    EXPECT_EQ((*reduced)[40 + 4 * 219 + 1], 12);
    EXPECT_EQ(*QuantizeToFixedPalette(*reduced), *reduced) << "8-bit passes through";
}

TEST(ReducePaletteViaJpeg, TakesOnlyMultiplesOfFourAndKeepsTheGrid) {
    auto gradient = [](int x, int y) {
        return Bgr{static_cast<std::uint8_t>(8 * x), static_cast<std::uint8_t>(4 * y), 90};
    };
    PackedDib picture = TrueColour(32, 16, gradient);
    platform::BitmapInfoHeader header = HeaderOf(picture);
    header.biXPelsPerMeter = 4;
    header.biYPelsPerMeter = 2;
    SetHeader(picture, header);
    const std::optional<PackedDib> reduced = ReducePaletteViaJpeg(picture);
    ASSERT_TRUE(reduced);
    EXPECT_EQ(HeaderOf(*reduced).biBitCount, 8);
    EXPECT_EQ(HeaderOf(*reduced).biXPelsPerMeter, 4);
    EXPECT_EQ(HeaderOf(*reduced).biYPelsPerMeter, 2);
    ASSERT_EQ(reduced->size(), 1064u + 32 * 16);
    const std::uint8_t index = (*reduced)[1064 + 8 * 32 + 20];
    EXPECT_NEAR((*reduced)[40 + 4 * index + 0], 160, 24) << "the colour survives roughly";
    EXPECT_EQ((*reduced)[40 + 4 * index + 3], 0) << "opaque";
    EXPECT_EQ(*ReducePaletteViaJpeg(*reduced), *reduced) << "8-bit passes through";

    const PackedDib ninety = TrueColour(90, 30, gradient);
    EXPECT_FALSE(ReducePaletteViaJpeg(ninety)) << "three frames of 30";
    const std::optional<PackedDib> fallback = ReduceTo256Colours(ninety);
    ASSERT_TRUE(fallback);
    EXPECT_EQ(*fallback, *QuantizeToFixedPalette(ninety)) << "the fixed palette";
}

// A frame of `width` x 8 on a pure-blue background with an orange square in its middle.
PackedDib BlueScreenFrame(int width) {
    return TrueColour(width, 8, [](int x, int y) {
        return x >= 2 && x < 6 && y >= 2 && y < 6 ? Bgr{0, 128, 255} : Bgr{255, 0, 0};
    });
}

TEST(ReduceAvatarColours, ThePureBlueBackgroundIsTransparentExactlyThere) {
    for (const int width : {8, 10}) {  // the JPEG round trip, then the fixed palette
        const PackedDib frame = BlueScreenFrame(width);
        const std::optional<PackedDib> reduced = ReduceAvatarColours(frame, false, true);
        ASSERT_TRUE(reduced) << width;
        const std::uint8_t* palette = reduced->data() + 40;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t index =
                    (*reduced)[1064 + static_cast<std::size_t>(y * width + x)];
                const bool blue = PixelAt(frame, x, y).blue == 255;
                EXPECT_EQ(palette[4 * index + 3] == 255, blue) << width << ": " << x << "," << y;
                EXPECT_EQ(index == 0, blue) << width << ": index 0 only for the background";
            }
        }
        EXPECT_EQ(palette[0], 255);
        EXPECT_EQ(palette[3], 255);
        EXPECT_EQ(FirstTransparentColour(*reduced)->blue, 255);
        for (std::size_t i = 1; i < 256 && width == 10; ++i) {  // the fixed palette stays whole
            const PaletteColour c = FixedPalette()[i];
            EXPECT_EQ(Bytes(palette + 4 * i, palette + 4 * i + 3), (Bytes{c.blue, c.green, c.red}));
        }
    }
    const std::optional<PackedDib> kept = ReduceAvatarColours(BlueScreenFrame(8), true, true);
    ASSERT_TRUE(kept);
    EXPECT_EQ(*kept, BlueScreenFrame(8)) << "Disable transparency keeps the true colours";
}

// Opening a large avatar costs the avatar and its shown frame at one byte a pixel each: the
// colour step keeps the avatar's own block, and the frame is shown in the avatar's colours.
TEST(ReduceAvatarColours, AnEightBitAvatarIsKeptAndShownAtOneByteAPixel) {
    // 2 x 1 frames of 3 x 2, palette entry i (i, 2i, 3i), entry 5 transparent.
    PackedDib image = *NewPackedDib(6, 2, 8);
    platform::BitmapInfoHeader header = HeaderOf(image);
    header.biXPelsPerMeter = 2;
    header.biYPelsPerMeter = 1;
    SetHeader(image, header);
    for (std::size_t i = 0; i < 256 * 3; ++i)
        image[40 + i / 3 * 4 + i % 3] = static_cast<std::uint8_t>((3 - i % 3) * (i / 3));
    image[40 + 4 * 5 + 3] = kTransparentFlag;
    std::iota(image.begin() + 1064, image.begin() + 1076, std::uint8_t{0});
    const PackedDib before = image;
    const std::uint8_t* pixels = image.data();
    const std::optional<PackedDib> kept = ReduceAvatarColours(std::move(image), false, false);
    ASSERT_TRUE(kept);
    EXPECT_EQ(*kept, before);
    EXPECT_EQ(kept->data(), pixels) << "the avatar's own block";
    const QRgb background = qRgb(1, 2, 3);
    const QImage frame = FrameImage(*kept, 1, 0, background);
    ASSERT_EQ(frame.size(), QSize(3, 2));
    EXPECT_EQ(frame.format(), QImage::Format_Indexed8);
    // Stored row 1 is the top; frame 1 starts at column 3.
    for (int pixel = 0; pixel < 6; ++pixel) {
        const int x = pixel % 3, y = pixel / 3, index = (1 - y) * 6 + 3 + x;
        EXPECT_EQ(frame.pixel(x, y), index == 5 ? background : qRgb(index, 2 * index, 3 * index));
    }
}

}  // namespace
