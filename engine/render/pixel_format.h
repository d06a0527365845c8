#pragma once

// The pixel formats the renderer reads and draws (platform/pixel_format.h: the frame formats 8,
// 15, 16 and 24; the 32-bit format is refused), and its sampling levels.

#include "platform/pixel_format.h"

using platform::PixelFormatCode;

// 0: nearest pixel. 1: half-pixel averaging. 8: bilinear with 4-bit weights. Indexed images are
// always sampled at the nearest pixel.
enum class AntialiasLevel : int { Nearest = 0, Half = 1, Bilinear = 8 };
