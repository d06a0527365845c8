#pragma once
// The surface of a window: where finished pictures are handed over for showing.
//
// Contract between the threads:
// - Producers (the engine's render thread, bitmap drawing on the user-interface thread) call
//   `Surface::Draw`. It copies the picture under the surface's lock and returns; it never
//   calls into a GUI toolkit. `platform::PresentToWindow` does the same and then asks the
//   backend (`Backend::FrameReady`) to repaint the window.
// - The backend, on the user-interface thread, calls `Surface::Read` while it paints; the
//   callback runs under the lock and must only copy or convert the picture.
// Each `Draw` replaces the picture; the surface keeps only the last one.

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/geometry.h"
#include "platform/guarded.h"
#include "platform/pixel_view.h"
#include "platform/window.h"

namespace platform {

// The picture a surface keeps. `pixels` holds `size.height` rows of `size.width` pixels,
// bottom-up, each row `stride` bytes (width x bytes a pixel rounded up to 4). It is shown
// unscaled with its top-left corner at `origin` in client coordinates.
struct SurfacePicture {
    Point origin;
    Size size;
    PixelFormatCode format = PixelFormatCode::Bgr24;
    std::size_t stride = 0;
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> palette;  // 1024 bytes for format 8, else empty
    std::uint64_t serial = 0;           // counts the Draw calls; 0 = nothing drawn yet
};

// A colour as the classic RGB value: red in the low byte, then green, then blue.
using ColorRef = std::uint32_t;
constexpr ColorRef Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return red | (static_cast<ColorRef>(green) << 8) | (static_cast<ColorRef>(blue) << 16);
}

class Surface {
  public:
    // Copies the lower-left `dest.Width()` x `dest.Height()` part of `source` (clipped to
    // what the source has) and keeps it to be shown at `dest`'s top-left corner. An empty
    // destination or an unknown format keeps the previous picture and returns false. Any
    // thread. On std::bad_alloc the previous picture is kept.
    bool Draw(const PixelView& source, const Rect& dest);

    // Draws the one-pixel border of the pixels of `rect` (client coordinates) in `colour` over
    // the picture kept now, as a pen on the window's device context does: the next `Draw`
    // replaces it. The parts outside the picture are left out; an 8-bit picture takes the
    // nearest colour of its palette. False when nothing was drawn yet or the border misses
    // the picture. Any thread.
    bool DrawOutline(const Rect& rect, ColorRef colour);

    // Runs `reader` with the current picture under the lock. Any thread.
    void Read(const std::function<void(const SurfacePicture&)>& reader) const;

    // How many pictures were drawn so far.
    std::uint64_t Serial() const;

  private:
    struct Kept {
        SurfacePicture picture;
        std::vector<std::uint8_t> spare;  // the rows of the picture before, for the next Draw
    };
    Guarded<Kept> kept_;
};

// Draws `source` into the window's surface (as Surface::Draw) and asks the backend to repaint
// the window. Any thread. False when the window is unknown or nothing was drawn.
bool PresentToWindow(WindowHandle window, const PixelView& source, const Rect& dest);

// Draws the outline into the window's surface (as Surface::DrawOutline) and asks the backend to
// repaint the window. User-interface thread. False when the window is unknown or nothing was
// drawn.
bool DrawOutlineOnWindow(WindowHandle window, const Rect& rect, ColorRef colour);

}  // namespace platform
