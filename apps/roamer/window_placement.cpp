#include "apps/roamer/window_placement.h"

#include <cstdint>

namespace {

constexpr std::int64_t kScale = 10000;

int ToPixels(int fraction, int screen) {
    return static_cast<int>(std::int64_t{screen} * fraction / kScale);
}

// The smallest fraction whose ToPixels is `pixels` or more: ceil(pixels * 10000 / screen).
int ToFraction(int pixels, int screen) {
    const std::int64_t scaled = std::int64_t{pixels} * kScale;
    return static_cast<int>((scaled + screen - 1) / screen);
}

}  // namespace

std::optional<PixelRect> RestorePlacement(const StoredPlacement& stored, int screenWidth,
                                          int screenHeight) {
    const PixelRect rect{ToPixels(stored.left, screenWidth), ToPixels(stored.top, screenHeight),
                         ToPixels(stored.right, screenWidth),
                         ToPixels(stored.bottom, screenHeight)};
    if (rect.right == 0 || rect.bottom == 0)
        return std::nullopt;
    return rect;
}

StoredPlacement StorePlacement(const PixelRect& window, int screenWidth, int screenHeight) {
    if (window.left < 0 || window.top < 0 || window.right > screenWidth ||
        window.bottom > screenHeight) {
        return {};
    }
    return {ToFraction(window.left, screenWidth), ToFraction(window.top, screenHeight),
            ToFraction(window.right, screenWidth), ToFraction(window.bottom, screenHeight)};
}

PixelRect CentredPlacement(int width, int height, int screenWidth, int screenHeight) {
    const int left = (screenWidth - width) / 2;
    const int top = (screenHeight - height) / 2;
    return {left, top, left + width, top + height};
}
