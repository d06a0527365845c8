#pragma once
// Showing a device-independent bitmap in a window, through the window's surface
// (platform/surface.h), which keeps the pixels in their own format for the backend to paint.

#include <cstdint>
#include <optional>
#include <span>

#include "engine/imaging/global_dib.h"
#include "platform/geometry.h"
#include "platform/pixel_view.h"
#include "platform/window.h"

// The pixels of a bottom-up bitmap as surfaces take them: format 8 with the colour table as
// palette, 15 (16 bits, compression 0), 16 (16 bits, bit-field compression) or 24. `bitmapInfo`
// starts with the header, followed for 8 bits by 256 colours. Nothing for other depths (32
// included), a top-down bitmap, or a header, colour table or pixels shorter than the header
// says. The view points into `bitmapInfo` and `pixels`.
std::optional<platform::PixelView> DibPixelView(std::span<const std::uint8_t> bitmapInfo,
                                                std::span<const std::uint8_t> pixels);

// Shows the bitmap in `window`: the lower-left part of the bitmap, the size of `destination`,
// unscaled at `destination` (the whole bitmap at 0, 0 without one); the backend repaints the
// window. An 8-bit bitmap carries its colour table to the surface as its palette. Any thread:
// the surface copies the pixels under its lock. False when the bitmap cannot be shown (see
// DibPixelView) or the window has no surface; the window keeps its previous picture then.
bool BlitDib(platform::WindowHandle window, std::span<const std::uint8_t> bitmapInfo,
             std::span<const std::uint8_t> pixels, const platform::Rect* destination = nullptr);
bool BlitDib(platform::WindowHandle window, const GlobalDib& dib,
             const platform::Rect* destination = nullptr);
