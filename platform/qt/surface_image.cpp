#include "platform/qt/surface_image.h"

#include <array>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif

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

// Whether the picture is a known format with a positive size and holds all its rows.
bool HoldsItsRows(const SurfacePicture& picture) {
    const int width = picture.size.width;
    const int height = picture.size.height;
    if (QtFormat(picture.format) == QImage::Format_Invalid || width <= 0 || height <= 0)
        return false;
    const auto rowBytes =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(BytesPerPixel(picture.format));
    return picture.stride >= rowBytes &&
           picture.pixels.size() / picture.stride >= static_cast<std::size_t>(height);
}

std::uint32_t Load32(const std::uint8_t* bytes) {
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

constexpr QRgb kOpaque = 0xFF000000u;

// Blue, green, red bytes to 0xffRRGGBB, four pixels (twelve bytes, three words) at a time.
void WidenBgr24Plain(const std::uint8_t* source, QRgb* target, int width) {
    int x = 0;
    for (; x + 4 <= width; x += 4, source += 12) {
        const std::uint32_t w0 = Load32(source);
        const std::uint32_t w1 = Load32(source + 4);
        const std::uint32_t w2 = Load32(source + 8);
        target[x] = kOpaque | (w0 & 0xFFFFFFu);
        target[x + 1] = kOpaque | (w0 >> 24) | ((w1 & 0xFFFFu) << 8);
        target[x + 2] = kOpaque | (w1 >> 16) | ((w2 & 0xFFu) << 16);
        target[x + 3] = kOpaque | (w2 >> 8);
    }
    for (; x < width; ++x, source += 3)
        target[x] = qRgb(source[2], source[1], source[0]);
}

#if defined(__x86_64__) || defined(__i386__)
// The same with byte shuffles, sixteen pixels (48 bytes in, 64 out) at a time.
__attribute__((target("ssse3"))) void WidenBgr24Shuffled(const std::uint8_t* source, QRgb* target,
                                                         int width) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
    int x = 0;
    for (; x + 16 <= width; x += 16, source += 48) {
        const __m128i in0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
        const __m128i in1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 16));
        const __m128i in2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 32));
        const __m128i quads[4] = {in0, _mm_alignr_epi8(in1, in0, 12), _mm_alignr_epi8(in2, in1, 8),
                                  _mm_srli_si128(in2, 4)};
        for (int q = 0; q < 4; ++q) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x + 4 * q),
                             _mm_or_si128(_mm_shuffle_epi8(quads[q], spread), opaque));
        }
    }
    WidenBgr24Plain(source, target + x, width - x);
}
#endif

using RowWidener = void (*)(const std::uint8_t*, QRgb*, int);

// The fastest row widener the processor runs, chosen once.
RowWidener Bgr24Widener() {
#if defined(__x86_64__) || defined(__i386__)
    static const RowWidener chosen =
        __builtin_cpu_supports("ssse3") ? WidenBgr24Shuffled : WidenBgr24Plain;
    return chosen;
#else
    return WidenBgr24Plain;
#endif
}

// Widens a 5- or 6-bit channel to 8 bits by repeating its top bits, as Qt's conversions do.
constexpr int Widen5(unsigned value) {
    return static_cast<int>((value << 3) | (value >> 2));
}
constexpr int Widen6(unsigned value) {
    return static_cast<int>((value << 2) | (value >> 4));
}

void WidenRgb565(const std::uint8_t* source, QRgb* target, int width) {
    for (int x = 0; x < width; ++x, source += 2) {
        const unsigned c = source[0] | (source[1] << 8);
        target[x] = qRgb(Widen5(c >> 11), Widen6((c >> 5) & 0x3F), Widen5(c & 0x1F));
    }
}

void WidenRgb555(const std::uint8_t* source, QRgb* target, int width) {
    for (int x = 0; x < width; ++x, source += 2) {
        const unsigned c = source[0] | (source[1] << 8);
        target[x] = qRgb(Widen5((c >> 10) & 0x1F), Widen5((c >> 5) & 0x1F), Widen5(c & 0x1F));
    }
}

// Writes the part `part` (picture coordinates, rows counted from the top, inside the picture)
// widened to 32 bits, its top-left pixel at `target` and its rows `bytesPerLine` apart.
void WidenPart(const SurfacePicture& picture, const QRect& part, uchar* target,
               qsizetype bytesPerLine) {
    std::array<QRgb, 256> colours{};
    if (picture.format == PixelFormatCode::Indexed8) {
        const QList<QRgb> table = ColourTable(picture.palette);
        std::copy(table.begin(), table.end(), colours.begin());
    }
    const RowWidener widenBgr24 = Bgr24Widener();
    const int bytes = BytesPerPixel(picture.format);
    const int width = part.width();
    for (int row = part.top(); row <= part.bottom(); ++row, target += bytesPerLine) {
        const std::uint8_t* source =
            picture.pixels.data() +
            picture.stride * static_cast<std::size_t>(picture.size.height - 1 - row) +
            static_cast<std::size_t>(part.left()) * static_cast<std::size_t>(bytes);
        auto* line = reinterpret_cast<QRgb*>(target);
        switch (picture.format) {
            case PixelFormatCode::Bgr24:
                widenBgr24(source, line, width);
                break;
            case PixelFormatCode::Rgb565:
                WidenRgb565(source, line, width);
                break;
            case PixelFormatCode::Rgb555:
                WidenRgb555(source, line, width);
                break;
            default:
                for (int x = 0; x < width; ++x)
                    line[x] = colours[source[x]];
                break;
        }
    }
}

}  // namespace

QImage ImageFromPicture(const SurfacePicture& picture) {
    if (!HoldsItsRows(picture))
        return {};
    const int width = picture.size.width;
    const int height = picture.size.height;
    const QImage::Format format = QtFormat(picture.format);
    QImage image(width, height, format);
    if (image.isNull())
        return {};
    const auto rowBytes =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(BytesPerPixel(picture.format));
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* source =
            picture.pixels.data() + picture.stride * static_cast<std::size_t>(height - 1 - row);
        std::memcpy(image.scanLine(row), source, rowBytes);
    }
    if (format == QImage::Format_Indexed8)
        image.setColorTable(ColourTable(picture.palette));
    return image;
}

bool PresentPicture(const SurfacePicture& picture, QImage& target) {
    if (!HoldsItsRows(picture)) {
        target = QImage();
        return false;
    }
    const int width = picture.size.width;
    const int height = picture.size.height;
    if (target.width() != width || target.height() != height ||
        target.format() != QImage::Format_RGB32) {
        target = QImage(width, height, QImage::Format_RGB32);
        if (target.isNull())
            return false;
    }
    WidenPart(picture, QRect(0, 0, width, height), target.bits(), target.bytesPerLine());
    return true;
}

bool PaintPictureInto(const SurfacePicture& picture, QImage& device, QPoint at,
                      const QRegion& clip) {
    const QImage::Format format = device.format();
    if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) ||
        device.devicePixelRatio() != 1.0 || !device.isDetached() || !HoldsItsRows(picture)) {
        return false;
    }
    const QRect shown = QRect(at, QSize(picture.size.width, picture.size.height));
    for (const QRect& area : clip.intersected(shown).intersected(device.rect())) {
        WidenPart(picture, area.translated(-at),
                  device.bits() + area.top() * device.bytesPerLine() +
                      static_cast<qsizetype>(area.left()) * 4,
                  device.bytesPerLine());
    }
    return true;
}

}  // namespace platform
