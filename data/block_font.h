#pragma once
// A tiny 5 x 7 block font for the sample scenes: digits and the capital letters they need.

#include <array>
#include <string_view>

// Seven rows of five cells, '#' set; a character the font lacks gives all rows blank.
using Glyph = std::array<std::string_view, 7>;
const Glyph& GlyphOf(char c);

inline constexpr int kGlyphColumns = 5;
inline constexpr int kGlyphRows = 7;
