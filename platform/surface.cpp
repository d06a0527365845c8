#include "platform/surface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/backend.h"

namespace platform {

bool Surface::Draw(const PixelView& source, const Rect& dest) {
    const int bytes = BytesPerPixel(source.format);
    if (!IsFrameFormat(source.format) || dest.Width() <= 0 || dest.Height() <= 0 || !source.pixels)
        return false;
    const int width = std::min(dest.Width(), source.width);
    const int height = std::min(dest.Height(), source.height);
    if (width <= 0 || height <= 0)
        return false;

    // The rows go into the memory of the picture before last, so that a steady stream of
    // frames of one size allocates nothing.
    SurfacePicture next;
    {
        auto kept = kept_.Lock();
        next.pixels = std::move(kept->spare);
        kept->spare.clear();
    }
    try {
        next.origin = Point{dest.left, dest.top};
        next.size = Size{width, height};
        next.format = source.format;
        next.stride = (static_cast<std::size_t>(width) * bytes + 3) & ~std::size_t{3};
        next.pixels.resize(next.stride * static_cast<std::size_t>(height));
        for (int row = 0; row < height; ++row) {
            std::memcpy(next.pixels.data() + next.stride * row, source.pixels + source.stride * row,
                        static_cast<std::size_t>(width) * bytes);
        }
        if (source.format == PixelFormatCode::Indexed8 && source.palette) {
            next.palette.assign(source.palette, source.palette + 1024);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    auto kept = kept_.Lock();
    next.serial = kept->picture.serial + 1;
    std::swap(kept->picture, next);
    kept->spare = std::move(next.pixels);
    return true;
}

void Surface::Read(const std::function<void(const SurfacePicture&)>& reader) const {
    reader(kept_.Lock()->picture);
}

std::uint64_t Surface::Serial() const {
    return kept_.Lock()->picture.serial;
}

bool PresentToWindow(WindowHandle window, const PixelView& source, const Rect& dest) {
    std::shared_ptr<Surface> surface = GetWindowSurface(window);
    if (!surface || !surface->Draw(source, dest))
        return false;
    if (Backend* backend = InstalledBackend())
        backend->FrameReady(window);
    return true;
}

}  // namespace platform
