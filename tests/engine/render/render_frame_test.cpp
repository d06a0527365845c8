// What Render draws and refuses, and the working state it keeps between calls.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/render/renderer_state.h"
#include "tests/engine/render/render_test_support.h"

namespace {

constexpr std::uint8_t kUntouched = 0xFF;  // no pixel of a coordinate panorama is all ones

Renderer::Orientation View(double pan, double tilt, double roll = 0, double fov = 90) {
    return {0, 0, 0, pan, tilt, roll, fov};
}

TEST(RenderFrame, OnlyWholeCellsAreDrawn) {
    const std::vector<std::uint8_t> source = CoordinatePanorama(256, 128);
    struct Case {
        int width;
        int height;
    };
    const Case cases[] = {{512, 256}, {256, 250}, {250, 256}, {100, 70}, {31, 64}};
    for (const Case& c : cases) {
        for (double tilt : {0.0, 90.0, -90.0}) {
            Renderer renderer;
            std::vector<std::uint8_t> frame(static_cast<std::size_t>(c.width) * c.height * 3,
                                            kUntouched);
            ASSERT_EQ(renderer.Render(kEngineBox, View(20, tilt), kAtOrigin, c.width, c.height,
                                      frame.data(), 256, 128, source.data(), PixelFormatCode::Bgr24,
                                      0, AntialiasLevel::Bilinear),
                      1);
            const int drawnWidth = c.width / 32 * 32;
            const int drawnHeight = c.height / 32 * 32;
            int wrong = 0;
            for (int y = 0; y < c.height; ++y) {
                for (int x = 0; x < c.width; ++x) {
                    const std::uint8_t* p = &frame[(static_cast<std::size_t>(y) * c.width + x) * 3];
                    const bool untouched =
                        p[0] == kUntouched && p[1] == kUntouched && p[2] == kUntouched;
                    const bool drawn = x < drawnWidth && y < drawnHeight;
                    wrong += drawn == untouched ? 1 : 0;
                }
            }
            EXPECT_EQ(wrong, 0) << c.width << " x " << c.height << " tilt " << tilt;
        }
    }
}

TEST(RenderFrame, UnusableArgumentsDrawNothing) {
    const std::vector<std::uint8_t> source(64 * 32 * 3, 9);
    struct Case {
        const char* name;
        int format;
        int antialias;
        int outWidth;
        int srcWidth;
        int srcHeight;
        bool nullSource;
        int result;
    };
    const Case cases[] = {
        {"format 15 at level 2", 15, 2, 64, 64, 32, false, 0},
        {"format 24 at level 3", 24, 3, 64, 64, 32, false, 0},
        {"format 16 at level -1", 16, -1, 64, 64, 32, false, 0},
        {"format 12", 12, 0, 64, 64, 32, false, 0},
        {"format 32", 32, 8, 64, 64, 32, false, 0},
        {"indexed at any level", 8, 2, 64, 64, 32, false, 1},
        {"no source", 24, 0, 64, 64, 32, true, 0},
        {"empty source", 24, 0, 64, 0, 32, false, 0},
        {"no rows", 24, 0, 64, 64, 0, false, 0},
        {"source too wide", 24, 0, 64, 20000, 1, false, 0},
        {"empty frame", 24, 0, 0, 64, 32, false, 0},
    };
    for (const Case& c : cases) {
        Renderer renderer;
        std::vector<std::uint8_t> frame(64 * 64 * 3, kUntouched);
        EXPECT_EQ(renderer.Render(kEngineBox, View(0, 0), kAtOrigin, c.outWidth, 64, frame.data(),
                                  c.srcWidth, c.srcHeight, c.nullSource ? nullptr : source.data(),
                                  static_cast<PixelFormatCode>(c.format), 0,
                                  static_cast<AntialiasLevel>(c.antialias)),
                  c.result)
            << c.name;
        if (c.result == 0) {
            EXPECT_EQ(frame, std::vector<std::uint8_t>(frame.size(), kUntouched)) << c.name;
        }
    }
}

// Renders an indexed panorama whose pixel values are column + row, so a stale row offset shows.
std::vector<std::uint8_t> RenderIndexed(Renderer& renderer, int width, int rows,
                                        const Renderer::Orientation& view) {
    const int stride = SourceRowBytes(width, 1);
    std::vector<std::uint8_t> source(static_cast<std::size_t>(stride) * rows);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < stride; ++column) {
            source[static_cast<std::size_t>(row) * stride + column] =
                static_cast<std::uint8_t>(column * 7 + row * 13);
        }
    }
    std::vector<std::uint8_t> frame(128 * 96);
    EXPECT_EQ(renderer.Render(kEngineBox, view, kAtOrigin, 128, 96, frame.data(), width, rows,
                              source.data(), PixelFormatCode::Indexed8, 0, AntialiasLevel::Nearest),
              1);
    return frame;
}

TEST(RenderFrame, ReusedRendererDrawsLikeAFreshOne) {
    struct Source {
        int width;
        int rows;
    };
    // Growing sources, shrinking ones, a changed stride, and a height that exactly reaches the
    // previous table's end.
    const Source sources[] = {{64, 32}, {64, 20}, {64, 42}, {128, 20}, {50, 52}, {64, 300}};
    Renderer reused;
    for (const Source& s : sources) {
        for (const Renderer::Orientation& view : {View(10, 85, 0, 120), View(200, -30)}) {
            Renderer fresh;
            EXPECT_EQ(RenderIndexed(reused, s.width, s.rows, view),
                      RenderIndexed(fresh, s.width, s.rows, view))
                << s.width << " x " << s.rows;
        }
    }
    Renderer copy(reused);
    Renderer assigned;
    assigned = reused;
    const Renderer::Orientation view = View(-45, 20);
    const std::vector<std::uint8_t> expected = RenderIndexed(reused, 64, 32, view);
    EXPECT_EQ(RenderIndexed(copy, 64, 32, view), expected);
    EXPECT_EQ(RenderIndexed(assigned, 64, 32, view), expected);
}

TEST(RenderFrame, RowOffsetsAreRebuiltOnlyForGrowthOrANewStride) {
    struct Step {
        int width;
        int rows;
        int rebuilds;
    };
    const Step steps[] = {{64, 32, 1}, {64, 32, 1},  {64, 10, 1},   {62, 30, 1}, {64, 41, 1},
                          {64, 42, 2}, {128, 42, 3}, {128, 200, 4}, {125, 5, 4}, {124, 5, 5}};
    RendererState state;
    std::vector<std::uint8_t> frame(64 * 64);
    for (const Step& s : steps) {
        std::vector<std::uint8_t> source(static_cast<std::size_t>(SourceRowBytes(s.width, 1)) *
                                         s.rows);
        DrawRequest request;
        request.scale = 32;
        request.outWidth = 64;
        request.outHeight = 64;
        request.outPixels = frame.data();
        request.srcWidth = s.width;
        request.srcHeight = s.rows;
        request.srcPixels = source.data();
        request.format = PixelFormatCode::Indexed8;
        ASSERT_EQ(state.Draw(request), 1);
        EXPECT_EQ(state.RowOffsetRebuilds(), s.rebuilds) << s.width << " x " << s.rows;
        EXPECT_GE(state.RowOffsetCapacity(), static_cast<std::size_t>(s.rows));
    }
}

}  // namespace
