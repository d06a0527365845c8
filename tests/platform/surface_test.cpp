#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless_backend.h"
#include "platform/surface.h"

namespace platform {
namespace {

TEST(Surface, KeepsTheLowerLeftPartOfTheFrameAtTheDestination) {
    // A 4 x 3 frame of 24-bit pixels whose blue byte is 10 x row + column.
    std::vector<std::uint8_t> frame(4 * 3 * 3);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            frame[(row * 4 + col) * 3] = std::uint8_t(10 * row + col);
    const PixelView view{4, 3, kPixelFormatBgr, frame.data(), 12, nullptr};

    Surface surface;
    ASSERT_TRUE(surface.Draw(view, Rect{5, 6, 8, 8}));
    surface.Read([](const SurfacePicture& picture) {
        EXPECT_EQ(picture.origin, (Point{5, 6}));
        EXPECT_EQ(picture.size, (Size{3, 2}));
        EXPECT_EQ(picture.stride, 12u) << "rows padded to 4 bytes";
        EXPECT_EQ(picture.pixels[0], 0);
        EXPECT_EQ(picture.pixels[2 * 3], 2);
        EXPECT_EQ(picture.pixels[12 + 3], 11);
        EXPECT_EQ(picture.serial, 1u);
    });
    EXPECT_FALSE(surface.Draw(view, Rect{0, 0, 0, 5}));
    EXPECT_FALSE(surface.Draw(PixelView{4, 3, 12, frame.data(), 12, nullptr}, Rect{0, 0, 4, 3}));
    EXPECT_EQ(surface.Serial(), 1u) << "refused draws keep the picture";
}

TEST(Surface, PresentingAsksTheBackendToRepaint) {
    HeadlessBackend backend;
    const WindowHandle window = backend.CreateWindow({32, 32});
    std::vector<std::uint8_t> pixels(32 * 32, 7);
    std::vector<std::uint8_t> palette(1024, 1);
    const PixelView view{32, 32, kPixelFormatIndexed, pixels.data(), 32, palette.data()};
    EXPECT_TRUE(PresentToWindow(window, view, Rect{0, 0, 32, 32}));
    EXPECT_EQ(backend.FramesReady(window), 1);
    GetWindowSurface(window)->Read(
        [](const SurfacePicture& picture) { EXPECT_EQ(picture.palette.size(), 1024u); });
    EXPECT_FALSE(PresentToWindow(window + 99, view, Rect{0, 0, 32, 32}));
}

}  // namespace
}  // namespace platform
