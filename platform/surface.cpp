#include "platform/surface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/backend.h"

namespace platform {

namespace {

// The size of the part of `source` a picture at `dest` keeps (its lower-left part, clipped);
// empty when nothing can be kept.
Size KeptSize(const PixelView& source, const Rect& dest) {
    if (!IsFrameFormat(source.format) || dest.Width() <= 0 || dest.Height() <= 0 ||
        !source.pixels) {
        return {};
    }
    return Size{std::max(0, std::min(dest.Width(), source.width)),
                std::max(0, std::min(dest.Height(), source.height))};
}

}  // namespace

std::vector<std::uint8_t> Surface::TakeSpare() {
    auto kept = kept_.Lock();
    std::vector<std::uint8_t> spare = std::move(kept->spare);
    kept->spare.clear();
    return spare;
}

void Surface::Keep(SurfacePicture& next) {
    auto kept = kept_.Lock();
    next.serial = kept->picture.serial + 1;
    std::swap(kept->picture, next);
    kept->spare = std::move(next.pixels);
}

bool Surface::Draw(const PixelView& source, const Rect& dest) {
    const Size size = KeptSize(source, dest);
    if (size.width <= 0 || size.height <= 0)
        return false;
    const auto rowBytes = static_cast<std::size_t>(size.width) * BytesPerPixel(source.format);

    // The rows go into the memory of the picture before last, so that a steady stream of
    // frames of one size allocates nothing.
    SurfacePicture next;
    next.pixels = TakeSpare();
    try {
        next.origin = Point{dest.left, dest.top};
        next.size = size;
        next.format = source.format;
        next.stride = (rowBytes + 3) & ~std::size_t{3};
        next.pixels.resize(next.stride * static_cast<std::size_t>(size.height));
        for (int row = 0; row < size.height; ++row) {
            std::memcpy(next.pixels.data() + next.stride * row, source.pixels + source.stride * row,
                        rowBytes);
        }
        if (source.format == PixelFormatCode::Indexed8 && source.palette) {
            next.palette.assign(source.palette, source.palette + 1024);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    Keep(next);
    return true;
}

bool Surface::DrawByExchange(std::vector<std::uint8_t>& frame, const PixelView& source,
                             const Rect& dest) {
    const Size size = KeptSize(source, dest);
    const auto rowBytes = static_cast<std::size_t>(size.width) * BytesPerPixel(source.format);
    const bool viewsFrame = size.width > 0 && size.height > 0 && source.pixels == frame.data() &&
                            source.stride >= rowBytes &&
                            frame.size() / source.stride >= static_cast<std::size_t>(size.height);
    if (!viewsFrame)
        return Draw(source, dest);

    SurfacePicture next;
    std::vector<std::uint8_t> givenBack = TakeSpare();
    try {
        givenBack.resize(frame.size());
        if (source.format == PixelFormatCode::Indexed8 && source.palette) {
            next.palette.assign(source.palette, source.palette + 1024);
        }
    } catch (const std::bad_alloc&) {
        return Draw(source, dest);
    }
    next.origin = Point{dest.left, dest.top};
    next.size = size;
    next.format = source.format;
    next.stride = source.stride;
    next.pixels = std::move(frame);
    frame = std::move(givenBack);
    Keep(next);
    return true;
}

void Surface::Read(const std::function<void(const SurfacePicture&)>& reader) const {
    reader(kept_.Lock()->picture);
}

std::uint64_t Surface::Serial() const {
    return kept_.Lock()->picture.serial;
}

namespace {

// Draws into the window's surface with `draw` and asks the backend to repaint the window.
template <typename DrawInto>
bool PresentWith(WindowHandle window, DrawInto draw) {
    std::shared_ptr<Surface> surface = GetWindowSurface(window);
    if (!surface || !draw(*surface))
        return false;
    if (Backend* backend = InstalledBackend())
        backend->FrameReady(window);
    return true;
}

}  // namespace

bool PresentToWindow(WindowHandle window, const PixelView& source, const Rect& dest) {
    return PresentWith(window, [&](Surface& surface) { return surface.Draw(source, dest); });
}

bool PresentFrameToWindow(WindowHandle window, std::vector<std::uint8_t>& frame,
                          const PixelView& source, const Rect& dest) {
    return PresentWith(
        window, [&](Surface& surface) { return surface.DrawByExchange(frame, source, dest); });
}

}  // namespace platform
