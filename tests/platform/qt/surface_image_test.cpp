#include "platform/qt/surface_image.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// A 2 x 2 picture whose bottom row (stored first) holds `bottomLeft`, whose top-left pixel is
// `topLeft`, and the rest zero.
SurfacePicture TwoByTwo(PixelFormatCode format, std::vector<std::uint8_t> topLeft,
                        std::vector<std::uint8_t> bottomLeft) {
    SurfacePicture picture;
    picture.size = {2, 2};
    picture.format = format;
    picture.stride = 8;
    picture.pixels.assign(16, 0);
    std::copy(bottomLeft.begin(), bottomLeft.end(), picture.pixels.begin());
    std::copy(topLeft.begin(), topLeft.end(), picture.pixels.begin() + 8);
    picture.serial = 1;
    return picture;
}

TEST(ImageFromPicture, TurnsBottomUpRowsOfEachFormatIntoColours) {
    std::vector<std::uint8_t> palette(1024, 0);
    palette[4 * 7 + 0] = 0x30;  // blue
    palette[4 * 7 + 1] = 0x20;  // green
    palette[4 * 7 + 2] = 0x10;  // red
    struct Case {
        const char* name;
        SurfacePicture picture;
        QRgb topLeft;
        QRgb bottomLeft;
    };
    Case cases[] = {
        {"bgr", TwoByTwo(PixelFormatCode::Bgr24, {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0x00}),
         qRgb(255, 0, 0), qRgb(0, 0, 255)},
        {"565", TwoByTwo(PixelFormatCode::Rgb565, {0x00, 0xF8}, {0xE0, 0x07}), qRgb(255, 0, 0),
         qRgb(0, 255, 0)},
        {"555", TwoByTwo(PixelFormatCode::Rgb555, {0x00, 0x7C}, {0x1F, 0x00}), qRgb(255, 0, 0),
         qRgb(0, 0, 255)},
        {"indexed", TwoByTwo(PixelFormatCode::Indexed8, {7}, {0}), qRgb(0x10, 0x20, 0x30),
         qRgb(0, 0, 0)},
    };
    cases[3].picture.palette = palette;
    for (const Case& c : cases) {
        const QImage image = ImageFromPicture(c.picture);
        ASSERT_FALSE(image.isNull()) << c.name;
        EXPECT_EQ(image.size(), QSize(2, 2)) << c.name;
        EXPECT_EQ(image.pixel(0, 0), c.topLeft) << c.name;
        EXPECT_EQ(image.pixel(0, 1), c.bottomLeft) << c.name;
    }
}

TEST(ImageFromPicture, RefusesPicturesThatDoNotHoldTheirRows) {
    struct Case {
        const char* name;
        SurfacePicture picture;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", SurfacePicture{}});
    SurfacePicture shortRows = TwoByTwo(PixelFormatCode::Bgr24, {}, {});
    shortRows.pixels.resize(12);
    cases.push_back({"fewer rows than the height", shortRows});
    SurfacePicture narrowStride = TwoByTwo(PixelFormatCode::Bgr24, {}, {});
    narrowStride.stride = 4;
    cases.push_back({"stride below a row", narrowStride});
    SurfacePicture unknown = TwoByTwo(PixelFormatCode::Bgrx32, {}, {});
    cases.push_back({"not a frame format", unknown});
    for (const Case& c : cases)
        EXPECT_TRUE(ImageFromPicture(c.picture).isNull()) << c.name;
}

TEST(ImageFromPicture, ShowsAnIndexedPictureWithoutPaletteInGreys) {
    const QImage image = ImageFromPicture(TwoByTwo(PixelFormatCode::Indexed8, {200}, {0}));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 0), qRgb(200, 200, 200));
}

}  // namespace
}  // namespace platform
