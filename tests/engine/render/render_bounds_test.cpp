// Render over many views, every format and antialias level, with source and frame blocks of
// exactly the documented size: under AddressSanitizer any read or write outside them fails.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/engine/render/render_test_support.h"

namespace {

struct Mode {
    PixelFormatCode format;
    AntialiasLevel level;
};

const Mode kModes[] = {
    {PixelFormatCode::Indexed8, AntialiasLevel::Nearest},
    {PixelFormatCode::Rgb555, AntialiasLevel::Nearest},
    {PixelFormatCode::Rgb555, AntialiasLevel::Half},
    {PixelFormatCode::Rgb555, AntialiasLevel::Bilinear},
    {PixelFormatCode::Rgb565, AntialiasLevel::Nearest},
    {PixelFormatCode::Rgb565, AntialiasLevel::Half},
    {PixelFormatCode::Rgb565, AntialiasLevel::Bilinear},
    {PixelFormatCode::Bgr24, AntialiasLevel::Nearest},
    {PixelFormatCode::Bgr24, AntialiasLevel::Half},
    {PixelFormatCode::Bgr24, AntialiasLevel::Bilinear},
};

struct Size {
    int width;
    int height;
};

// Widths with and without row padding; frames with and without whole cells.
const Size kSources[] = {{64, 32}, {61, 23}, {6, 3}};
const Size kFrames[] = {{64, 64}, {45, 70}, {96, 32}};

TEST(RenderBounds, NoViewReadsOrWritesOutsideItsBlocks) {
    const double tilts[] = {-90, -75, -30, 0, 20, 60, 90};
    const double rolls[] = {0, 37, -120, 180};
    const double fovs[] = {10, 60, 90, 130, 170};
    const double eyes[] = {0, 0, 0, 420};
    int rendered = 0;
    for (const Mode& mode : kModes) {
        const int bytes = BytesPerPixel(mode.format);
        for (const Size& src : kSources) {
            // Heap blocks of exactly the documented size, filled so that every read is defined.
            std::vector<std::uint8_t> source(
                static_cast<std::size_t>(SourceRowBytes(src.width, bytes)) * src.height, 0x5A);
            for (const Size& out : kFrames) {
                std::vector<std::uint8_t> frame(static_cast<std::size_t>(out.width) * out.height *
                                                bytes);
                Renderer renderer;
                int i = 0;
                for (double pan = 0; pan <= 360; pan += 2.5) {
                    for (double tilt : tilts) {
                        const Renderer::Orientation view{eyes[i % 4],  0,          0, pan, tilt,
                                                         rolls[i % 4], fovs[i % 5]};
                        ++i;
                        ASSERT_EQ(renderer.Render(kEngineBox, view, kAtOrigin, out.width,
                                                  out.height, frame.data(), src.width, src.height,
                                                  source.data(), mode.format, 0, mode.level),
                                  1)
                            << pan << " " << tilt;
                        ++rendered;
                    }
                }
            }
        }
    }
    EXPECT_GT(rendered, 90000);
}

}  // namespace
