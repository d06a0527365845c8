#pragma once
// Drawing one avatar over a rendered frame: its box is projected into the frame, and the
// current cell of its frame grid is scaled onto the projected rectangle with its transparency.
//
// Threads: the render thread calls these under the owning engine's state lock (they read the
// slot and, through the renderer, nothing else); tests call them on any thread with their own
// objects. Nothing is allocated that outlives a call, and nothing is written outside the
// frame's `width` x `height` pixels whatever the avatar's position, size or image header.

#include <cstdint>

#include "engine/render/renderer.h"

struct AvatarSlot;

// The frame an avatar is drawn into: `height` rows of `width` pixels, bottom-up, packed end to
// end, in the frame format `format` (colour indices, 5-5-5, 5-6-5, or blue, green, red; see
// platform/pixel_format.h). The caller owns the pixels.
struct AvatarTarget {
    std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    PixelFormatCode format = PixelFormatCode::Bgr24;
};

// A rectangle of frame pixels: columns `left` .. `right` - 1 and rows `bottom` .. `top` - 1,
// rows counted from the bottom of the frame. It may reach beyond the frame on every side.
struct AvatarRect {
    std::int32_t left = 0;
    std::int32_t bottom = 0;
    std::int32_t right = 0;
    std::int32_t top = 0;
};

// Scales the avatar's current cell (column and row 0 are the grid's first frame, its
// bottom-left cell; columns run right, rows up) onto `destination` by nearest sampling,
// upside down when `flipped`, and writes what lands inside the frame:
// - an 8-bit avatar copies its non-zero indices into an 8-bit frame and the colours of
//   entries not flagged 0xFF into the other frames;
// - a 24-bit avatar is written whole into 15-, 16- and 24-bit frames;
// - a 32-bit avatar's top byte is an amount of transparency: 0 opaque, 0xFF nothing, between
//   them frame x a + avatar x (256 - a), over 256, on each channel;
// - 24- and 32-bit avatars draw nothing into an 8-bit frame, and an avatar or frame of any
//   other depth, an empty slot, an empty cell or an image shorter than its header says draws
//   nothing.
void BlitAvatarCell(const AvatarSlot& avatar, const AvatarRect& destination, bool flipped,
                    const AvatarTarget& frame);

// Projects the avatar's box (eight corners, seen from the eye of `view`) into the frame with
// `renderer` and `environment`, and blits its current cell onto the smallest rectangle that
// holds the projected corners; upside down when the view's tilt is past straight up or down.
// False, with nothing drawn, when a corner does not project (behind the eye) or projects to
// no finite point.
bool CompositeAvatar(const AvatarSlot& avatar, const Renderer& renderer,
                     const Renderer::Environment& environment, const Renderer::Orientation& view,
                     const AvatarTarget& frame);
