#include "tests/apps/compactor/panorama_view.h"

#include <cstring>

#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/headless/headless_backend.h"
#include "platform/surface.h"

bool DecodeJpegForTest(std::span<const std::uint8_t> stream, DecodedPicture24& picture) {
    GlobalDib dib = JpegToDib(stream, 24, kJpegTopDown);
    if (!dib)
        return false;
    const platform::BitmapInfoHeader header = dib.Header();
    picture.width = header.biWidth;
    picture.height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 3;
    const std::size_t stride = (rowBytes + 3) / 4 * 4;
    picture.bgr.resize(rowBytes * static_cast<std::size_t>(picture.height));
    const std::uint8_t* pixels = dib.Pixels();
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(picture.bgr.data() + rowBytes * static_cast<std::size_t>(y),
                    pixels + stride * static_cast<std::size_t>(y), rowBytes);
    }
    return true;
}

bool RenderViewCentre(const std::string& path, double heading, int size, std::uint8_t centre[3]) {
    platform::HeadlessBackend backend;
    const platform::WindowHandle window = backend.CreateWindow({size, size});
    ViewerEngine engine;
    try {
        // Frame rate 0: the render thread stays paused; the frame is stepped here.
        engine.OpenFile(path.c_str(), window, platform::WM_USER, 0, 4);
    } catch (const LoadError&) {
        return false;
    }
    engine.SetView(heading, 0, 0, 60, 0);
    if ((engine.RenderFrame() & 1) != 0)
        return false;
    bool drawn = false;
    platform::GetWindowSurface(window)->Read([&](const platform::SurfacePicture& picture) {
        if (picture.format != platform::PixelFormatCode::Bgr24 || picture.size.width != size ||
            picture.size.height != size) {
            return;
        }
        const std::size_t at = static_cast<std::size_t>(size / 2) * picture.stride +
                               static_cast<std::size_t>(size / 2) * 3;
        std::memcpy(centre, picture.pixels.data() + at, 3);
        drawn = true;
    });
    engine.Close();
    return drawn;
}
