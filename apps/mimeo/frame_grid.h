#pragma once
// Bringing frame pictures to one size and tiling them into the grid picture of an avatar.
// Frames are 24- or 32-bit PackedDibs (unpadded rows). Pure functions, any thread.

#include <optional>
#include <vector>

#include "engine/avatar_file/packed_dib.h"

// `frame` at `width` x `height` by nearest sampling: target pixel (j, i) takes the source pixel
// at column trunc(source width / width x j) and row trunc(source height / height x i). The
// header and palette are kept with the new size and biSizeImage 0. The frame itself when it
// already has the size; nothing when the size is refused or the memory cannot be had.
std::optional<PackedDib> ResizeFrame(const PackedDib& frame, int width, int height);

// Resizes every frame to `width` x `height`; a width or height of 0 or less means the largest
// among the frames. False when a resize fails (the frames already resized stay so).
bool EqualizeFrames(std::vector<PackedDib>& frames, int width, int height);

// Equalizes the frames to the largest and tiles them into one picture of `columns` x `rows`
// frames: frame k goes to column k mod columns of row block k div columns, row blocks counted
// from the bottom. The picture takes the first frame's header and depth, with the grid in
// biXPelsPerMeter and biYPelsPerMeter. Nothing when there are not columns x rows frames, the
// frames differ in depth, or the memory cannot be had; nothing, with every frame as it was
// given, when the grid at the largest frame size is over the avatar cap (ShapeFor).
std::optional<PackedDib> TileFrames(std::vector<PackedDib>& frames, int columns, int rows);
