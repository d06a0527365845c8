#pragma once
// The six faces of a cube panorama, in the order of the seamer's panes, its command-line
// slots and the seam's arguments.

#include <array>

enum class CubeFace : int { Left, Front, Right, Back, Top, Bottom };

inline constexpr int kCubeFaceCount = 6;

// "Left", "Front", ...: the face's name as users see it.
const char* CubeFaceName(CubeFace face);

// The faces in order, for loops.
inline constexpr std::array<CubeFace, kCubeFaceCount> kCubeFaces = {
    CubeFace::Left, CubeFace::Front, CubeFace::Right, CubeFace::Back, CubeFace::Top,
    CubeFace::Bottom};
