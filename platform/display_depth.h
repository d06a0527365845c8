#pragma once
// What the display tells about its pixel format: the stand-in for asking the screen for the
// layout of a bitmap compatible with it. The stand-in display is 24-bit. A test can make it
// report another depth with OverrideDisplayDepth; a user can with the environment variable
// HALVEX_DISPLAY_DEPTH (8, 15, 16, 24 or 32; any other value is ignored).

#include <cstdint>

namespace platform {

// The layout of a display-compatible bitmap. 15-bit displays report 16 bits with compression 0
// (5-5-5); 16-bit displays report compression 3 with the 5-6-5 masks.
struct DisplayFormat {
    int bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
};

// The environment variable through which a user chooses the depth the display reports.
inline constexpr const char* kDisplayDepthVariable = "HALVEX_DISPLAY_DEPTH";

// The display's format: the override when one is set, else the environment variable when it
// holds a known depth, else 24 bits. Any thread.
DisplayFormat QueryDisplayFormat();

// Makes QueryDisplayFormat report `depth` (8, 15, 16, 24 or 32) until ClearDisplayDepthOverride;
// returns false and changes nothing for any other value. Any thread.
bool OverrideDisplayDepth(int depth);
void ClearDisplayDepthOverride();

}  // namespace platform
