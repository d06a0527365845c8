#pragma once
// The steps that turn what was read into the avatar picture after tiling: the grid check,
// reducing to 256 colours and screening out the pure-blue background. Pure functions,
// any thread; the main dialog runs them on its user-interface thread between progress steps.

#include <optional>
#include <vector>

#include "engine/avatar_file/packed_dib.h"

// Whether a grid of `columns` x `rows` can divide `image`: both at least 1 and at most the
// picture's width and height.
bool GridFits(const PackedDib& image, int columns, int rows);

// The colour step of a build. With `disableTransparency` the picture keeps its depth. Otherwise
// a true-colour picture is reduced to 256 colours (JPEG round trip, else the fixed palette);
// for frame pictures (`blueScreen`) the pixels that were exactly pure blue before the
// reduction become index 0, transparent pure blue, and no other pixel keeps index 0. An 8-bit
// picture keeps its colours and marks, and comes back without a copy. Nothing when the memory
// runs out.
std::optional<PackedDib> ReduceAvatarColours(PackedDib image, bool disableTransparency,
                                             bool blueScreen);
