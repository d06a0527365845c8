#pragma once
// Roamer's window placement, kept in its INI file as ten-thousandths of the screen so that it
// survives a change of display resolution. Pure arithmetic: any thread, no state.

#include <optional>

// A rectangle in screen pixels; right and bottom are exclusive (one past the last pixel).
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PixelRect&) const = default;
};

// The four stored values "left", "top", "right", "bottom" of section "RESTORE".
struct StoredPlacement {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const StoredPlacement&) const = default;
};

// The window rectangle that `stored` gives on a screen of `screenWidth` by `screenHeight`, or
// nothing when right or bottom is 0 (no placement stored: the caller centres its default size).
// The screen size must be positive.
std::optional<PixelRect> RestorePlacement(const StoredPlacement& stored, int screenWidth,
                                          int screenHeight);

// The values to store for the normal window rectangle `window`. A window that lies partly off
// the screen stores zeros so that the next start centres it; touching an edge is on screen. The
// fractions are rounded up, so that RestorePlacement on the same screen gives back exactly
// `window` and the window does not creep by a pixel at every run. The screen size must be
// positive.
StoredPlacement StorePlacement(const PixelRect& window, int screenWidth, int screenHeight);

// The centred rectangle of a window `width` by `height` on the screen.
PixelRect CentredPlacement(int width, int height, int screenWidth, int screenHeight);
