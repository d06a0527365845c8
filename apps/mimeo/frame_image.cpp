#include "apps/mimeo/frame_image.h"

#include <QList>
#include <cstring>
#include <optional>

QSize FrameSize(const PackedDib& image) {
    const std::optional<PackedDibShape> shape = CheckedShape(image);
    if (!shape)
        return {0, 0};
    const platform::BitmapInfoHeader header = HeaderOf(image);
    if (header.biXPelsPerMeter < 1 || header.biYPelsPerMeter < 1 ||
        header.biXPelsPerMeter > shape->width || header.biYPelsPerMeter > shape->height)
        return {0, 0};
    return {shape->width / header.biXPelsPerMeter, shape->height / header.biYPelsPerMeter};
}

QImage FrameImage(const PackedDib& image, int column, int row, QRgb transparent) {
    const QSize frame = FrameSize(image);
    if (frame.isEmpty())
        return {};
    const platform::BitmapInfoHeader header = HeaderOf(image);
    if (column < 0 || row < 0 || column >= header.biXPelsPerMeter || row >= header.biYPelsPerMeter)
        return {};
    const PackedDibShape shape = *CheckedShape(image);
    // An 8-bit frame stays 8-bit, its colours in the image's table, so that showing a frame
    // never costs four times the avatar's own pixels.
    QImage picture(frame, shape.bitCount == 8 ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    const std::uint8_t* palette = image.data() + platform::kInfoHeaderSize;
    if (shape.bitCount == 8) {
        QList<QRgb> colours(256);
        for (std::size_t i = 0; i < 256; ++i) {
            const std::uint8_t* entry = palette + 4 * i;
            colours[static_cast<qsizetype>(i)] =
                entry[3] == kTransparentFlag ? transparent : qRgb(entry[2], entry[1], entry[0]);
        }
        picture.setColorTable(colours);
    }
    for (int y = 0; y < frame.height(); ++y) {
        const std::size_t storedRow = static_cast<std::size_t>(row) * frame.height() +
                                      static_cast<std::size_t>(frame.height() - 1 - y);
        const std::uint8_t* p =
            image.data() + shape.pixelOffset + storedRow * shape.RowBytes() +
            static_cast<std::size_t>(column) * frame.width() * shape.bytesPerPixel;
        if (shape.bitCount == 8) {
            std::memcpy(picture.scanLine(y), p, static_cast<std::size_t>(frame.width()));
            continue;
        }
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < frame.width(); ++x, p += shape.bytesPerPixel)
            line[x] = qRgb(p[2], p[1], p[0]);
    }
    return picture;
}
