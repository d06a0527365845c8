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
    for (const Case& c : cases)
        EXPECT_TRUE(ImageFromPicture(c.picture).isNull()) << c.name;
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
    if (format == PixelFormatCode::Indexed8) {
        picture.palette.resize(1024);
        for (std::size_t i = 0; i < picture.palette.size(); ++i)
            picture.palette[i] = static_cast<std::uint8_t>(255 - i * 5);
    }
    picture.serial = 1;
    return picture;
}

// The present path gives the colours the window showed when Qt converted the picture's own
// image while painting, at every depth, for widths on and off the four- and sixteen-pixel
// steps of the row kernels, and with padded rows.
TEST(PresentPicture, GivesThePixelsOfQtsConversionAtEveryDepthAndWidth) {
    const PixelFormatCode formats[] = {PixelFormatCode::Bgr24, PixelFormatCode::Rgb565,
                                       PixelFormatCode::Rgb555, PixelFormatCode::Indexed8};
    const QSize sizes[] = {{1, 1}, {3, 2}, {4, 3}, {15, 2}, {16, 4}, {17, 3}, {37, 5}, {1027, 3}};
    QImage target;
    for (const PixelFormatCode format : formats) {
        for (const QSize size : sizes) {
            const auto rowBytes = static_cast<std::size_t>(size.width()) * BytesPerPixel(format);
            for (const std::size_t padding : {std::size_t{0}, std::size_t{5}}) {
                const SurfacePicture picture =
                    Patterned(format, size.width(), size.height(), rowBytes + padding);
                const QImage expected =
                    ImageFromPicture(picture).convertToFormat(QImage::Format_RGB32);
                ASSERT_TRUE(PresentPicture(picture, target));
                ASSERT_EQ(target.format(), QImage::Format_RGB32);
                ASSERT_EQ(target.size(), size);
                for (int y = 0; y < size.height(); ++y) {
                    for (int x = 0; x < size.width(); ++x) {
                        ASSERT_EQ(target.pixel(x, y), expected.pixel(x, y))
                            << static_cast<int>(format) << " bits, " << size.width() << " x "
                            << size.height() << " padded " << padding << ", at " << x << ", " << y;
                    }
                }
            }
        }
    }
}

// Written straight into a window's 32-bit image, the picture lands where drawing the present
// path's image would put it, inside the clip only, and leaves the rest of the image alone.
TEST(PaintPictureInto, WritesWhatDrawingThePresentedImageWouldInsideTheClip) {
    const PixelFormatCode formats[] = {PixelFormatCode::Bgr24, PixelFormatCode::Rgb565,
                                       PixelFormatCode::Indexed8};
    const QImage::Format devices[] = {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied};
    const QPoint at(5, 3);
    QRegion clip(QRect(0, 0, 20, 9));
    clip += QRect(12, 9, 40, 30);  // reaches past the picture and the device
    for (const PixelFormatCode format : formats) {
        for (const QImage::Format deviceFormat : devices) {
            const SurfacePicture picture =
                Patterned(format, 23, 17, static_cast<std::size_t>(24 * BytesPerPixel(format)));
            QImage expected(40, 30, deviceFormat);
            expected.fill(qRgb(1, 2, 3));
            QImage device = expected.copy();
            {
                QImage presented;
                ASSERT_TRUE(PresentPicture(picture, presented));
                QPainter painter(&expected);
                painter.setClipRegion(clip);
                painter.drawImage(at, presented);
            }
            ASSERT_TRUE(PaintPictureInto(picture, device, at, clip)) << static_cast<int>(format);
            EXPECT_EQ(device, expected) << static_cast<int>(format) << " into " << deviceFormat;
        }
    }
}

TEST(PaintPictureInto, LeavesDevicesItCannotWriteToThePresentPath) {
    const SurfacePicture picture = Patterned(PixelFormatCode::Bgr24, 8, 4, 24);
    const QRegion everywhere(0, 0, 16, 16);
    QImage narrow(16, 16, QImage::Format_RGB888);
    narrow.fill(Qt::black);
    EXPECT_FALSE(PaintPictureInto(picture, narrow, {}, everywhere));
    QImage shared(16, 16, QImage::Format_RGB32);
    shared.fill(Qt::black);
    const QImage other = shared;
    EXPECT_FALSE(PaintPictureInto(picture, shared, {}, everywhere));
    EXPECT_EQ(other.pixel(0, 0), qRgb(0, 0, 0));
    QImage device(16, 16, QImage::Format_RGB32);
    SurfacePicture shortRows = picture;
    shortRows.pixels.resize(24 * 3);
    EXPECT_FALSE(PaintPictureInto(shortRows, device, {}, everywhere));
}

}  // namespace
}  // namespace platform
