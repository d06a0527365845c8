#include "engine/imaging/dib_blit.h"

#include <vector>

#include <gtest/gtest.h>

#include "platform/headless/headless_backend.h"
#include "platform/surface.h"
#include "tests/engine/imaging/test_bitmaps.h"

namespace {

TEST(DibBlit, ViewTellsEachDepthsFormatAndRowStride) {
    const std::vector<std::uint8_t> pixels(8 * 4 * 4, 0);
    const struct {
        const char* name;
        std::vector<std::uint8_t> info;
        platform::PixelFormatCode format;  // None: refused
        std::size_t stride;
    } cases[] = {
        {"8-bit", InfoOf(MakeHeader(6, 4, 8), GreyColourTable()),
         platform::PixelFormatCode::Indexed8, 8},
        {"5-5-5", InfoOf(MakeHeader(3, 4, 16)), platform::PixelFormatCode::Rgb555, 8},
        {"5-6-5", InfoOf(MakeHeader(3, 4, 16, 3), Masks565()), platform::PixelFormatCode::Rgb565,
         8},
        {"24-bit", InfoOf(MakeHeader(5, 4, 24)), platform::PixelFormatCode::Bgr24, 16},
        {"32-bit", InfoOf(MakeHeader(4, 4, 32)), platform::PixelFormatCode::None, 0},
        {"top-down", InfoOf(MakeHeader(4, -4, 24)), platform::PixelFormatCode::None, 0},
        {"8-bit without colours", InfoOf(MakeHeader(4, 4, 8)), platform::PixelFormatCode::None, 0},
        {"pixels short", InfoOf(MakeHeader(8, 8, 24)), platform::PixelFormatCode::None, 0},
        {"header short", std::vector<std::uint8_t>(39, 0), platform::PixelFormatCode::None, 0},
    };
    for (const auto& c : cases) {
        const std::optional<platform::PixelView> view = DibPixelView(c.info, pixels);
        ASSERT_EQ(view.has_value(), c.format != platform::PixelFormatCode::None) << c.name;
        if (!view)
            continue;
        EXPECT_EQ(view->format, c.format) << c.name;
        EXPECT_EQ(view->stride, c.stride) << c.name;
        EXPECT_EQ(view->palette != nullptr, c.format == platform::PixelFormatCode::Indexed8)
            << c.name;
    }
}

TEST(DibBlit, WindowSurfaceGetsTheLowerLeftPartAtTheDestination) {
    platform::HeadlessBackend backend;
    const platform::WindowHandle window = backend.CreateWindow({16, 16});
    // 4 x 3, 8-bit: index = 10 x stored row + column.
    std::vector<std::uint8_t> pixels;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column)
            pixels.push_back(static_cast<std::uint8_t>(10 * row + column));
    }
    const std::vector<std::uint8_t> info = InfoOf(MakeHeader(4, 3, 8), GreyColourTable());

    EXPECT_TRUE(BlitDib(window, info, pixels));
    const platform::Rect destination{5, 6, 7, 8};
    EXPECT_TRUE(BlitDib(window, info, pixels, &destination));
    EXPECT_EQ(backend.FramesReady(window), 2);
    platform::GetWindowSurface(window)->Read([](const platform::SurfacePicture& picture) {
        EXPECT_EQ(picture.origin, (platform::Point{5, 6}));
        EXPECT_EQ(picture.size, (platform::Size{2, 2}));
        EXPECT_EQ(picture.format, platform::PixelFormatCode::Indexed8);
        EXPECT_EQ(picture.pixels[0], 0);
        EXPECT_EQ(picture.pixels[picture.stride + 1], 11);
        ASSERT_EQ(picture.palette.size(), 1024U);
        EXPECT_EQ(picture.palette[4 * 11], 11);
    });

    const std::vector<std::uint8_t> thirtyTwo = InfoOf(MakeHeader(1, 1, 32));
    EXPECT_FALSE(BlitDib(window, thirtyTwo, pixels));
    EXPECT_EQ(backend.FramesReady(window), 2) << "a refused bitmap keeps the picture";
}

}  // namespace
