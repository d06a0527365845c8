#pragma once
// The six cube faces as Cubestitch numbers them: the order of the panes, of the command line's
// slots and of the seam's arguments (Left, Front, Right, Back, Top, Bottom).

#include <array>
#include <string_view>

namespace cubestitch {

inline constexpr int kFaceCount = 6;

inline constexpr std::array<std::string_view, kFaceCount> kFaceNames = {
    "Left", "Front", "Right", "Back", "Top", "Bottom"};

}  // namespace cubestitch
