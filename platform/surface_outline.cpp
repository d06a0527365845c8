#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/backend.h"
#include "platform/surface.h"

namespace platform {
namespace {

std::uint8_t Red(ColorRef c) {
    return static_cast<std::uint8_t>(c & 0xFF);
}
std::uint8_t Green(ColorRef c) {
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
std::uint8_t Blue(ColorRef c) {
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

// The palette entry nearest to `colour` (entries are blue, green, red, reserved).
std::uint8_t NearestPaletteIndex(const std::vector<std::uint8_t>& palette, ColorRef colour) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < 256 && static_cast<std::size_t>(i) * 4 + 3 <= palette.size(); ++i) {
        const std::uint8_t* entry = palette.data() + static_cast<std::size_t>(i) * 4;
        const int db = entry[0] - Blue(colour);
        const int dg = entry[1] - Green(colour);
        const int dr = entry[2] - Red(colour);
        const int distance = db * db + dg * dg + dr * dr;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

// `colour` as the bytes of one pixel of `picture`'s format; the count of bytes.
int EncodePixel(const SurfacePicture& picture, ColorRef colour, std::uint8_t out[3]) {
    switch (picture.format) {
        case PixelFormatCode::Indexed8:
            out[0] = NearestPaletteIndex(picture.palette, colour);
            return 1;
        case PixelFormatCode::Rgb555:
        case PixelFormatCode::Rgb565: {
            const bool wideGreen = picture.format == PixelFormatCode::Rgb565;
            const unsigned value =
                (static_cast<unsigned>(Red(colour) >> 3) << (wideGreen ? 11 : 10)) |
                (static_cast<unsigned>(Green(colour) >> (wideGreen ? 2 : 3)) << 5) |
                static_cast<unsigned>(Blue(colour) >> 3);
            out[0] = static_cast<std::uint8_t>(value & 0xFF);
            out[1] = static_cast<std::uint8_t>(value >> 8);
            return 2;
        }
        case PixelFormatCode::Bgr24:
            out[0] = Blue(colour);
            out[1] = Green(colour);
            out[2] = Red(colour);
            return 3;
        default:
            return 0;
    }
}

}  // namespace

bool Surface::DrawOutline(const Rect& rect, ColorRef colour) {
    const auto kept = kept_.Lock();
    SurfacePicture& picture = kept->picture;
    std::uint8_t pixel[3] = {};
    const int bytes = EncodePixel(picture, colour, pixel);
    if (picture.serial == 0 || bytes == 0 || rect.Width() <= 0 || rect.Height() <= 0)
        return false;
    const int width = picture.size.width;
    const int height = picture.size.height;
    if (picture.pixels.size() < picture.stride * static_cast<std::size_t>(std::max(height, 0)))
        return false;
    // Picture coordinates of the rectangle's pixels: columns from the left, rows from the top.
    const Rect local{rect.left - picture.origin.x, rect.top - picture.origin.y,
                     rect.right - picture.origin.x, rect.bottom - picture.origin.y};
    bool drawn = false;
    auto plot = [&](int x, int y) {
        if (x < 0 || x >= width || y < 0 || y >= height)
            return;
        const std::size_t row = static_cast<std::size_t>(height - 1 - y);
        std::memcpy(picture.pixels.data() + row * picture.stride +
                        static_cast<std::size_t>(x) * static_cast<std::size_t>(bytes),
                    pixel, static_cast<std::size_t>(bytes));
        drawn = true;
    };
    for (int x = std::max(local.left, 0); x < std::min(local.right, width); ++x) {
        plot(x, local.top);
        plot(x, local.bottom - 1);
    }
    for (int y = std::max(local.top, 0); y < std::min(local.bottom, height); ++y) {
        plot(local.left, y);
        plot(local.right - 1, y);
    }
    return drawn;
}

bool DrawOutlineOnWindow(WindowHandle window, const Rect& rect, ColorRef colour) {
    std::shared_ptr<Surface> surface = GetWindowSurface(window);
    if (!surface || !surface->DrawOutline(rect, colour))
        return false;
    if (Backend* backend = InstalledBackend())
        backend->FrameReady(window);
    return true;
}

}  // namespace platform
