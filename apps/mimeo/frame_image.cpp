#include "apps/mimeo/frame_image.h"

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
    QImage picture(frame, QImage::Format_RGB32);
    const std::uint8_t* palette = image.data() + platform::kInfoHeaderSize;
    for (int y = 0; y < frame.height(); ++y) {
        const std::size_t storedRow = static_cast<std::size_t>(row) * frame.height() +
                                      static_cast<std::size_t>(frame.height() - 1 - y);
        const std::uint8_t* p =
            image.data() + shape.pixelOffset + storedRow * shape.RowBytes() +
            static_cast<std::size_t>(column) * frame.width() * shape.bytesPerPixel;
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < frame.width(); ++x, p += shape.bytesPerPixel) {
            if (shape.bitCount == 8) {
                const std::uint8_t* entry = palette + 4 * std::size_t{*p};
                line[x] =
                    entry[3] == kTransparentFlag ? transparent : qRgb(entry[2], entry[1], entry[0]);
            } else {
                line[x] = qRgb(p[2], p[1], p[0]);
            }
        }
    }
    return picture;
}
