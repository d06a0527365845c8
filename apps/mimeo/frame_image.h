#pragma once
// One frame of an avatar picture as a Qt image, for the previews. User-interface thread or any
// other; needs no QApplication.

#include <QImage>
#include <QRgb>

#include "engine/avatar_file/packed_dib.h"

// The frame in grid column `column` and row `row` (rows counted from the bottom, as frames are
// numbered) of `image`, top row first, at frame width x height: 8-bit (its colour table the
// palette's, entries flagged transparent as `transparent`) for an 8-bit picture, else 32-bit.
// A null image when the picture or the grid is unusable or the cell lies outside the grid.
QImage FrameImage(const PackedDib& image, int column, int row, QRgb transparent);

// The frame width and height of `image`'s grid; 0 x 0 when it has no usable grid.
QSize FrameSize(const PackedDib& image);
