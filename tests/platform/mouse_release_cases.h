#pragma once
// Release points on every side of a 64 x 48 client area and where each must arrive: a pointer
// let go outside the window reports the nearest point inside it, as a confined pointer would.

#include "platform/geometry.h"

namespace platform {

struct MouseReleaseCase {
    const char* side;
    Point released;
    Point reported;
};

inline constexpr Size kReleaseClient{64, 48};
inline constexpr Point kReleasePress{32, 24};
inline constexpr MouseReleaseCase kMouseReleaseCases[] = {
    {"inside", {10, 40}, {10, 40}},
    {"left", {-30, 20}, {0, 20}},
    {"right", {500, 20}, {63, 20}},
    {"above (the menu bar)", {50, -5}, {50, 0}},
    {"below", {30, 90}, {30, 47}},
    {"just past the bottom-right corner", {64, 48}, {63, 47}},
    {"far past the top-left corner", {-70000, -70000}, {0, 0}},
};

}  // namespace platform
