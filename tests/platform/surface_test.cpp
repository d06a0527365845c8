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
    const PixelView view{4, 3, PixelFormatCode::Bgr24, frame.data(), 12, nullptr};

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
    // Surfaces keep only frame formats: not 32 bits, no code that is no format.
    for (const PixelFormatCode format :
         {PixelFormatCode::Bgrx32, PixelFormatCode::None, static_cast<PixelFormatCode>(12)}) {
        EXPECT_FALSE(
            surface.Draw(PixelView{4, 3, format, frame.data(), 16, nullptr}, Rect{0, 0, 4, 3}))
            << static_cast<int>(format);
    }
    EXPECT_EQ(surface.Serial(), 1u) << "refused draws keep the picture";
}

TEST(Surface, AnExchangeTakesTheFramesRowsAndGivesBackThePictureBeforeLast) {
    // A 5 x 4 frame of 24-bit pixels, rows 16 bytes apart (15 of pixels, 1 of other bytes),
    // whose blue byte is 10 x row + column.
    auto frameNumbered = [](std::uint8_t other) {
        std::vector<std::uint8_t> frame(16 * 4, 0);
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 5; ++col)
                frame[static_cast<std::size_t>(row * 16 + col * 3)] = std::uint8_t(10 * row + col);
            frame[static_cast<std::size_t>(row * 16 + 15)] = other;
        }
        return frame;
    };
    struct Case {
        const char* what;
        Rect dest;
        bool viewsFrame;  // the view's pixels are the frame's
        bool taken;
        Size size;
    };
    const Case cases[] = {
        {"whole", Rect{0, 0, 5, 4}, true, true, Size{5, 4}},
        {"clipped to the destination", Rect{1, 1, 4, 3}, true, true, Size{3, 2}},
        {"a view of other rows is copied", Rect{0, 0, 5, 4}, false, false, Size{5, 4}},
        {"nothing to show", Rect{0, 0, 0, 4}, true, false, Size{}},
    };
    for (const Case& c : cases) {
        HeadlessBackend backend;
        const WindowHandle window = backend.CreateWindow({8, 8});
        std::vector<std::uint8_t> frame = frameNumbered(0xEE);
        const std::vector<std::uint8_t> copy = frameNumbered(0x55);
        const std::uint8_t* const rows = frame.data();
        const PixelView view{5, 4, PixelFormatCode::Bgr24, c.viewsFrame ? rows : copy.data(), 16,
                             nullptr};
        const bool shown = PresentFrameToWindow(window, frame, view, c.dest);

        EXPECT_EQ(shown, c.size.width > 0) << c.what;
        EXPECT_EQ(frame.data() != rows, c.taken) << c.what;
        EXPECT_EQ(frame.size(), 16u * 4) << c.what << ": the rows given back keep the size";
        if (!shown)
            continue;
        GetWindowSurface(window)->Read([&](const SurfacePicture& picture) {
            EXPECT_EQ(picture.size, c.size) << c.what;
            EXPECT_EQ(picture.pixels.data() == rows, c.taken) << c.what;
            EXPECT_EQ(picture.pixels[picture.stride + 3], 11) << c.what;
        });
        // The painted picture's checksum covers its pixels only: a copy of the same part with
        // other bytes after its rows gives the same one.
        backend.Pump();
        ASSERT_TRUE(PresentToWindow(window, PixelView{5, 4, PixelFormatCode::Bgr24, copy.data(),
                                                      16, nullptr},
                                    c.dest));
        backend.Pump();
        const std::vector<HeadlessBackend::PaintedPicture> painted = backend.Painted(window);
        ASSERT_EQ(painted.size(), 2u) << c.what;
        EXPECT_EQ(painted[0].checksum, painted[1].checksum) << c.what;
    }

    // In a steady stream each frame gets back the rows of the picture two before it.
    Surface surface;
    std::vector<const std::uint8_t*> shownRows;
    std::vector<std::uint8_t> frame = frameNumbered(0);
    for (int n = 0; n < 4; ++n) {
        shownRows.push_back(frame.data());
        ASSERT_TRUE(surface.DrawByExchange(
            frame, PixelView{5, 4, PixelFormatCode::Bgr24, frame.data(), 16, nullptr},
            Rect{0, 0, 5, 4}));
        if (n >= 2) {
            EXPECT_EQ(frame.data(), shownRows[static_cast<std::size_t>(n - 2)]) << n;
        }
    }
    EXPECT_EQ(surface.Serial(), 4u);
}

TEST(Surface, PresentingAsksTheBackendToRepaint) {
    HeadlessBackend backend;
    const WindowHandle window = backend.CreateWindow({32, 32});
    std::vector<std::uint8_t> pixels(32 * 32, 7);
    std::vector<std::uint8_t> palette(1024, 1);
    const PixelView view{32, 32, PixelFormatCode::Indexed8, pixels.data(), 32, palette.data()};
    EXPECT_TRUE(PresentToWindow(window, view, Rect{0, 0, 32, 32}));
    EXPECT_EQ(backend.FramesReady(window), 1);
    GetWindowSurface(window)->Read(
        [](const SurfacePicture& picture) { EXPECT_EQ(picture.palette.size(), 1024u); });
    EXPECT_FALSE(PresentToWindow(window + 99, view, Rect{0, 0, 32, 32}));
}

TEST(Surface, OutlinesDrawOverTheKeptPictureInItsFormatAndClipToIt) {
    // An 8 x 6 picture at client (2, 1); the outline of client (1, 2)-(5, 4) runs off its left.
    std::vector<std::uint8_t> palette(1024, 0);
    palette[4 * 9 + 1] = 250;  // entry 9 is nearly pure green
    struct Case {
        const char* what;
        PixelFormatCode format;
        int bytes;
        std::vector<std::uint8_t> green;  // the pixel bytes of RGB (0, 255, 0)
    };
    const Case cases[] = {
        {"24-bit", PixelFormatCode::Bgr24, 3, {0, 255, 0}},
        {"5-6-5", PixelFormatCode::Rgb565, 2, {0xE0, 0x07}},
        {"5-5-5", PixelFormatCode::Rgb555, 2, {0xE0, 0x03}},
        {"palette", PixelFormatCode::Indexed8, 1, {9}},
    };
    for (const Case& c : cases) {
        const int stride = (8 * c.bytes + 3) & ~3;
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * 6, 0x11);
        Surface surface;
        EXPECT_FALSE(surface.DrawOutline(Rect{0, 0, 4, 4}, Rgb(0, 255, 0))) << "nothing to draw on";
        ASSERT_TRUE(surface.Draw(PixelView{8, 6, c.format, pixels.data(),
                                           static_cast<std::size_t>(stride), palette.data()},
                                 Rect{2, 1, 10, 7}));
        ASSERT_TRUE(surface.DrawOutline(Rect{1, 2, 5, 4}, Rgb(0, 255, 0))) << c.what;
        EXPECT_FALSE(surface.DrawOutline(Rect{20, 20, 30, 30}, Rgb(0, 255, 0))) << c.what;
        surface.Read([&](const SurfacePicture& picture) {
            // Client (x, y) lies at picture column x - 2, stored row 6 - 1 - (y - 1).
            auto at = [&](int x, int y) {
                const std::uint8_t* p = picture.pixels.data() + (6 - y) * picture.stride +
                                        static_cast<std::size_t>((x - 2) * c.bytes);
                return std::vector<std::uint8_t>(p, p + c.bytes);
            };
            const std::vector<std::uint8_t> untouched(static_cast<std::size_t>(c.bytes), 0x11);
            for (int x = 2; x <= 4; ++x) {
                EXPECT_EQ(at(x, 2), c.green) << c.what << " top " << x;
                EXPECT_EQ(at(x, 3), c.green) << c.what << " bottom " << x;
            }
            EXPECT_EQ(at(4, 2), c.green) << c.what << " right edge";
            EXPECT_EQ(at(5, 2), untouched) << c.what << " right is exclusive";
            EXPECT_EQ(at(3, 4), untouched) << c.what << " bottom is exclusive";
            EXPECT_EQ(picture.serial, 1u) << c.what;
        });
    }
}

}  // namespace
}  // namespace platform
