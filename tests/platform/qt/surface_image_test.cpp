#include "platform/qt/surface_image.h"

#include <gtest/gtest.h>

#include <QPainter>

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
    for (const Case& c : cases) {
        EXPECT_TRUE(ImageFromPicture(c.picture).isNull()) << c.name;
        QImage device(2, 2, QImage::Format_RGB32);
        EXPECT_FALSE(PaintPictureInto(c.picture, device, {}, device.rect())) << c.name;
        EXPECT_FALSE(PresentPicture(c.picture, device)) << c.name;
    }
}

TEST(ImageFromPicture, ShowsAnIndexedPictureWithoutPaletteInGreys) {
    const QImage image = ImageFromPicture(TwoByTwo(PixelFormatCode::Indexed8, {200}, {0}));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 0), qRgb(200, 200, 200));
}

// A picture of `format` with rows of `stride` bytes (any padding included) filled from a
// running pattern, so that every byte of every pixel differs from its neighbours.
SurfacePicture Patterned(PixelFormatCode format, int width, int height, std::size_t stride) {
    SurfacePicture picture;
    picture.size = {width, height};
    picture.format = format;
    picture.stride = stride;
    picture.pixels.resize(stride * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = static_cast<std::uint8_t>(i * 37 + i / 7);
    picture.palette.resize(1024);  // read for 8-bit pictures only
    for (std::size_t i = 0; i < picture.palette.size(); ++i)
        picture.palette[i] = static_cast<std::uint8_t>(255 - i * 5);
    picture.serial = 1;
    return picture;
}

// Both one-pass paths give the colours the window showed when Qt converted the picture's own
// image while painting, at every depth, for widths on and off the four- and sixteen-pixel steps
// of the row kernels, with padded rows at the odd widths; written straight into a window's
// 32-bit image, the picture lands where drawing that image would put it, inside the clip only.
TEST(PresentPicture, GivesThePixelsOfQtsConversionAtEveryDepthAndWidth) {
    const QSize sizes[] = {{1, 1}, {3, 2}, {4, 3}, {15, 2}, {16, 4}, {17, 3}, {37, 5}, {1027, 3}};
    const QPoint at(5, 3);
    QRegion clip(QRect(0, 0, 20, 9));
    clip += QRect(12, 9, 40, 30);  // reaches past the device
    QImage target;
    for (const PixelFormatCode format : {PixelFormatCode::Bgr24, PixelFormatCode::Rgb565,
                                         PixelFormatCode::Rgb555, PixelFormatCode::Indexed8}) {
        for (const QSize size : sizes) {
            const int width = size.width();
            SCOPED_TRACE(testing::Message() << static_cast<int>(format) << " bits, " << width);
            const SurfacePicture picture =
                Patterned(format, width, size.height(), width * BytesPerPixel(format) + width % 4);
            const QImage expected = ImageFromPicture(picture).convertToFormat(QImage::Format_RGB32);
            ASSERT_TRUE(PresentPicture(picture, target));
            ASSERT_EQ(target, expected);
            for (const QImage::Format deviceFormat :
                 {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
                QImage drawn(40, 30, deviceFormat);
                drawn.fill(qRgb(1, 2, 3));
                QImage device = drawn.copy();
                {
                    QPainter painter(&drawn);
                    painter.setClipRegion(clip);
                    painter.drawImage(at, expected);
                }
                ASSERT_TRUE(PaintPictureInto(picture, device, at, clip));
                EXPECT_EQ(device, drawn) << "into " << deviceFormat;
            }
        }
    }
}

TEST(PaintPictureInto, LeavesDevicesItCannotWriteToThePresentPath) {
    const SurfacePicture picture = Patterned(PixelFormatCode::Bgr24, 8, 4, 24);
    QImage narrow(16, 16, QImage::Format_RGB888);
    QImage shared(16, 16, QImage::Format_RGB32);
    const QImage sharer = shared;
    for (QImage* device : {&narrow, &shared})
        EXPECT_FALSE(PaintPictureInto(picture, *device, {}, device->rect()));
}

}  // namespace
}  // namespace platform
