#pragma once
// Turns a surface's picture (bottom-up rows in one of the four pixel formats) into a top-down
// QImage for painting. Any thread; the result owns its pixels.

#include <QImage>

#include "platform/surface.h"

namespace platform {

// The picture as an image of its own size; a null image when the picture is empty, its format
// unknown or its rows shorter than its stride and size claim. An 8-bit picture without a
// palette is shown in grey levels.
QImage ImageFromPicture(const SurfacePicture& picture);

}  // namespace platform
