// The rendered picture against an exact per-pixel projection.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/engine/render/render_test_support.h"

namespace {

constexpr int kSrcWidth = 1024;
constexpr int kSrcHeight = 512;

struct ViewCase {
    const char* name;
    double pan;
    double tilt;
    double roll;
    double fov;
};

const ViewCase kViews[] = {
    {"ahead", 0, 0, 0, 90},
    {"heading wrap", 180, 0, 0, 90},
    {"heading wrap from the other side", -179, 10, 0, 60},
    {"just below the wrap", 171, -5, 0, 90},
    {"top pole", 30, 90, 0, 90},
    {"bottom pole", -160, -90, 0, 120},
    {"rolled sideways", 45, 0, 90, 120},
    {"rolled", 75, 45, 30, 120},
    {"narrow", 300, -20, -60, 10},
    {"pole rolled", -90, 70, 15, 120},
    {"upside down", 10, -60, 170, 90},
    {"pan above 270", 299, 30, 0, 100},
};

// Share of the frame's pixels that show the exact pixel or one of its neighbours. A pixel's
// width on the sphere shrinks with the cosine of its pitch, so columns are compared in widths
// on the sphere.
double AgreeingShare(const ViewCase& c, int outWidth, int outHeight, int srcWidth = kSrcWidth,
                     int srcHeight = kSrcHeight) {
    static const std::vector<std::uint8_t> standard = CoordinatePanorama(kSrcWidth, kSrcHeight);
    const std::vector<std::uint8_t> source = srcWidth == kSrcWidth && srcHeight == kSrcHeight
                                                 ? standard
                                                 : CoordinatePanorama(srcWidth, srcHeight);
    Renderer renderer;
    const Renderer::Orientation view{0, 0, 0, c.pan, c.tilt, c.roll, c.fov};
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(outWidth) * outHeight * 3);
    EXPECT_EQ(renderer.Render(kEngineBox, view, kAtOrigin, outWidth, outHeight, frame.data(),
                              srcWidth, srcHeight, source.data(), PixelFormatCode::Bgr24, 0,
                              AntialiasLevel::Nearest),
              1);
    const int drawnWidth = outWidth / 32 * 32;
    const int drawnHeight = outHeight / 32 * 32;
    int agreeing = 0;
    for (int y = 0; y < drawnHeight; ++y) {
        for (int x = 0; x < drawnWidth; ++x) {
            const SourceCell drawn =
                DecodeCell(&frame[(static_cast<std::size_t>(y) * outWidth + x) * 3]);
            const SourceCell exact =
                ExactCell(renderer, view, outWidth, outHeight, x, y, srcWidth, srcHeight);
            int columns = std::abs(drawn.column - exact.column);
            columns = std::min(columns, srcWidth - columns);
            const double pitch = ((exact.row + 0.5) / (srcHeight - 1) - 0.5) * 180.0;
            const double widths = columns * std::cos(pitch * std::acos(-1.0) / 180.0);
            if (widths <= 1.0 && std::abs(drawn.row - exact.row) <= 1) {
                ++agreeing;
            }
        }
    }
    return static_cast<double>(agreeing) / (drawnWidth * drawnHeight);
}

TEST(RenderAccuracy, NearlyEveryPixelShowsTheExactSourcePixel) {
    for (const ViewCase& c : kViews) {
        EXPECT_GE(AgreeingShare(c, 640, 480), 0.99) << c.name;
    }
}

// Frames whose sides are not whole cells keep their rows apart by the frame width.
TEST(RenderAccuracy, PartialCellsKeepTheFrameLayout) {
    for (const ViewCase& c : {kViews[0], kViews[4], kViews[7]}) {
        EXPECT_GE(AgreeingShare(c, 630, 470), 0.99) << c.name;
    }
}

// Rows padded to whole words, as in bitmaps, whatever the width.
TEST(RenderAccuracy, SourcesOfAnyWidthKeepTheirRows) {
    for (const int width : {1022, 1021, 1019}) {
        for (const ViewCase& c : {kViews[1], kViews[5], kViews[11]}) {
            EXPECT_GE(AgreeingShare(c, 640, 480, width, width / 2), 0.99) << c.name << " " << width;
        }
    }
}

// Rows longer than 32768 bytes take another multiply in the kernels: each pixel of this source
// holds only its row, which every drawn pixel must match.
TEST(RenderAccuracy, RowsLongerThan32KBytesKeepTheirRows) {
    constexpr int kWideWidth = 12000;
    constexpr int kWideHeight = 600;
    const int rowBytes = SourceRowBytes(kWideWidth, 3);
    ASSERT_GT(rowBytes, 32768);
    std::vector<std::uint8_t> source(static_cast<std::size_t>(rowBytes) * kWideHeight, 0);
    for (int row = 0; row < kWideHeight; ++row) {
        for (int column = 0; column < kWideWidth; ++column) {
            std::uint8_t* p = &source[static_cast<std::size_t>(row) * rowBytes + column * 3];
            p[0] = static_cast<std::uint8_t>(row);
            p[1] = static_cast<std::uint8_t>(row >> 8);
        }
    }
    constexpr int kOutWidth = 320;
    constexpr int kOutHeight = 224;
    for (const ViewCase& c : {kViews[0], kViews[1], kViews[2], kViews[8]}) {
        Renderer renderer;
        const Renderer::Orientation view{0, 0, 0, c.pan, c.tilt, c.roll, c.fov};
        std::vector<std::uint8_t> frame(static_cast<std::size_t>(kOutWidth) * kOutHeight * 3);
        ASSERT_EQ(renderer.Render(kEngineBox, view, kAtOrigin, kOutWidth, kOutHeight, frame.data(),
                                  kWideWidth, kWideHeight, source.data(), PixelFormatCode::Bgr24, 0,
                                  AntialiasLevel::Nearest),
                  1);
        int agreeing = 0;
        for (int y = 0; y < kOutHeight; ++y) {
            for (int x = 0; x < kOutWidth; ++x) {
                const std::uint8_t* p = &frame[(static_cast<std::size_t>(y) * kOutWidth + x) * 3];
                const int drawnRow = p[0] | p[1] << 8;
                const SourceCell exact =
                    ExactCell(renderer, view, kOutWidth, kOutHeight, x, y, kWideWidth, kWideHeight);
                agreeing += std::abs(drawnRow - exact.row) <= 1 ? 1 : 0;
            }
        }
        EXPECT_GE(static_cast<double>(agreeing) / (kOutWidth * kOutHeight), 0.99) << c.name;
    }
}

}  // namespace
