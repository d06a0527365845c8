#include "platform/qt/surface_image.h"

#include <cstring>

namespace platform {
namespace {

QImage::Format QtFormat(PixelFormatCode format) {
    switch (format) {
        case PixelFormatCode::Indexed8:
            return QImage::Format_Indexed8;
        case PixelFormatCode::Rgb555:
            return QImage::Format_RGB555;
        case PixelFormatCode::Rgb565:
            return QImage::Format_RGB16;
        case PixelFormatCode::Bgr24:
            return QImage::Format_BGR888;
        default:
            return QImage::Format_Invalid;
    }
}

QList<QRgb> ColourTable(const std::vector<std::uint8_t>& palette) {
    QList<QRgb> colours(256);
    for (int i = 0; i < 256; ++i) {
        const auto at = static_cast<std::size_t>(i) * 4;
        colours[i] = palette.size() >= at + 4 ? qRgb(palette[at + 2], palette[at + 1], palette[at])
                                              : qRgb(i, i, i);
    }
    return colours;
}

}  // namespace

QImage ImageFromPicture(const SurfacePicture& picture) {
    const QImage::Format format = QtFormat(picture.format);
    const int width = picture.size.width;
    const int height = picture.size.height;
    const int bytes = BytesPerPixel(picture.format);
    if (format == QImage::Format_Invalid || width <= 0 || height <= 0)
        return {};
    const auto rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(bytes);
    if (picture.stride < rowBytes ||
        picture.pixels.size() / picture.stride < static_cast<std::size_t>(height)) {
        return {};
    }

    QImage image(width, height, format);
    if (image.isNull())
        return {};
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* source =
            picture.pixels.data() + picture.stride * static_cast<std::size_t>(height - 1 - row);
        std::memcpy(image.scanLine(row), source, rowBytes);
    }
    if (format == QImage::Format_Indexed8)
        image.setColorTable(ColourTable(picture.palette));
    return image;
}

}  // namespace platform
