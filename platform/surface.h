#pragma once
// The surface of a window: where finished pictures are handed over for showing.
//
// Contract between the threads:
// - Producers (the engine's render thread, bitmap drawing on the user-interface thread) call
//   `Surface::Draw`, which copies the picture under the surface's lock, or
//   `Surface::DrawByExchange`, which takes the producer's rows and gives it other rows back;
//   neither calls into a GUI toolkit. `platform::PresentToWindow` and
//   `platform::PresentFrameToWindow` do the same and then ask the backend
//   (`Backend::FrameReady`) to repaint the window.
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

// The picture a surface keeps. `pixels` holds at least `size.height` rows, bottom-up, `stride`
// bytes apart; the first `size.width` pixels of each row are the picture, and any bytes after
// them (the padding of a copied row to 4 bytes, the rest of a taken frame's row, rows above
// the picture) are not part of it. It is shown unscaled with its top-left corner at `origin`
// in client coordinates.
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

    // Keeps the same part as Draw, but takes the rows of `frame` instead of copying them when
    // `source` views `frame` (its pixels at `frame.data()`, all its rows inside `frame`): the
    // picture then keeps `source`'s stride, and `frame` comes back holding the rows of the
    // picture before last, resized to the size `frame` had, their bytes undefined. Otherwise,
    // and when there is no memory for the rows given back, it copies as Draw does and leaves
    // `frame` as it was. Any thread. False, with `frame` untouched, where Draw is false.
    bool DrawByExchange(std::vector<std::uint8_t>& frame, const PixelView& source,
                        const Rect& dest);

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
    // The rows of the picture before, taken out for the next picture.
    std::vector<std::uint8_t> TakeSpare();
    // Makes `next` (its rows filled) the picture kept; its rows before become the spare.
    void Keep(SurfacePicture& next);
    Guarded<Kept> kept_;
};

// Draws `source` into the window's surface (as Surface::Draw) and asks the backend to repaint
// the window. Any thread. False when the window is unknown or nothing was drawn.
bool PresentToWindow(WindowHandle window, const PixelView& source, const Rect& dest);

// The same through Surface::DrawByExchange: `frame`'s rows are taken where they can be.
bool PresentFrameToWindow(WindowHandle window, std::vector<std::uint8_t>& frame,
                          const PixelView& source, const Rect& dest);

// Draws the outline into the window's surface (as Surface::DrawOutline) and asks the backend to
// repaint the window. User-interface thread. False when the window is unknown or nothing was
// drawn.
bool DrawOutlineOnWindow(WindowHandle window, const Rect& rect, ColorRef colour);

}  // namespace platform
