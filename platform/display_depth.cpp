#include "platform/display_depth.h"

#include <atomic>
#include <cstdlib>
#include <string>
#include <string_view>

namespace platform {
namespace {

constexpr int kNoOverride = 0;
std::atomic<int> overrideDepth{kNoOverride};

bool IsKnownDepth(int depth) {
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

DisplayFormat FormatForDepth(int depth) {
    DisplayFormat format;
    switch (depth) {
        case 15:
            format.bitsPerPixel = 16;
            break;
        case 16:
            format.bitsPerPixel = 16;
            format.compression = 3;
            format.redMask = 0xF800;
            format.greenMask = 0x07E0;
            format.blueMask = 0x001F;
            break;
        default:
            format.bitsPerPixel = depth;
            break;
    }
    return format;
}

int DepthFromEnvironment() {
    const char* text = std::getenv(kDisplayDepthVariable);
    if (text == nullptr)
        return kNoOverride;
    const std::string_view value(text);
    for (int depth : {8, 15, 16, 24, 32}) {
        if (value == std::to_string(depth))
            return depth;
    }
    return kNoOverride;
}

}  // namespace

DisplayFormat QueryDisplayFormat() {
    int depth = overrideDepth.load();
    if (depth == kNoOverride)
        depth = DepthFromEnvironment();
    if (depth == kNoOverride)
        depth = 24;
    return FormatForDepth(depth);
}

bool OverrideDisplayDepth(int depth) {
    if (!IsKnownDepth(depth))
        return false;
    overrideDepth.store(depth);
    return true;
}

void ClearDisplayDepthOverride() {
    overrideDepth.store(kNoOverride);
}

}  // namespace platform
