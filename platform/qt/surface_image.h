#pragma once
// Turns a surface's picture (bottom-up rows in one of the four pixel formats) into a top-down
// QImage for painting. Any thread; the results own their pixels.

#include <QImage>
#include <QPoint>
#include <QRegion>

#include "platform/surface.h"

namespace platform {

// The picture as an image of its own size and format; a null image when the picture is empty,
// its format unknown or its rows shorter than its stride and size claim. An 8-bit picture
// without a palette is shown in grey levels.
QImage ImageFromPicture(const SurfacePicture& picture);

// The picture in the screen's 32-bit format, written into `target` in one pass: rows turned
// top-down and each pixel widened to QImage::Format_RGB32, which paints without a conversion.
// `target` keeps its memory when it already has the picture's size and that format, so a
// window that keeps one image allocates nothing per frame. The colours are those
// `ImageFromPicture` gives. False, with `target` made null, for a picture `ImageFromPicture`
// refuses or when no memory is left for `target`.
bool PresentPicture(const SurfacePicture& picture, QImage& target);

// The same pixels written straight into `device`, a window's 32-bit image (its backing store,
// Format_RGB32 or Format_ARGB32_Premultiplied: the frame is opaque), with the picture's top-left
// pixel at `at` and only inside `clip` (both in the device's pixels). False, writing nothing,
// for a device of another format or pixel ratio, one whose memory is shared, or a picture
// `ImageFromPicture` refuses; the caller then paints through `PresentPicture`.
bool PaintPictureInto(const SurfacePicture& picture, QImage& device, QPoint at,
                      const QRegion& clip);

}  // namespace platform
