#include <gtest/gtest.h>

#include <cmath>

#include "bitmap/cdib.h"

namespace {

using Bgr = std::array<int, 3>;

Bgr SampleAt(const CDIB& dib, double u, double v) {
    std::uint8_t bgr[3] = {};
    EXPECT_EQ(dib.SampleBilinear(u, v, bgr), 1);
    return {bgr[0], bgr[1], bgr[2]};
}

// A smooth, non-linear 24-bit picture: different gradients per channel.
CDIB Smooth(int width, int height) {
    CDIB dib(width, height, 24);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            dib.SetPixel(x, y, static_cast<std::uint8_t>((x * 255) / (width - 1)),
                         static_cast<std::uint8_t>((y * 255) / (height - 1)),
                         static_cast<std::uint8_t>(127 + 120 * std::sin(x * 0.15 + y * 0.1)));
        }
    }
    return dib;
}

TEST(CdibSampling, BilinearValues) {
    CDIB dib(6, 5, 24);
    dib.SetPixel(2, 3, 10, 20, 31);
    dib.SetPixel(3, 3, 100, 201, 51);
    dib.SetPixel(0, 4, 7, 8, 9);
    CDIB white(2, 2, 24);
    std::ranges::fill(white.GetBits(), 255);
    CDIB palette(2, 2, 8);
    palette.GetColorTable()[4 * 3] = 40;  // entry 3: blue 40, red 80
    palette.GetColorTable()[4 * 3 + 2] = 80;
    palette.SetPixelValue(1, 0, 3);
    CDIB fourBit(4, 4, 4);
    std::ranges::fill(fourBit.GetBits(), 0xFF);
    std::ranges::fill(fourBit.GetColorTable(), 0xFF);
    struct Case {
        const char* name;
        const CDIB& dib;
        double u, v;
        Bgr expected;
    };
    const Case kCases[] = {
        {"whole position is the pixel", dib, 2, 3, {31, 20, 10}},
        // Rounded halves added: 15.5 -> 16 plus 25.5 -> 26, 10 + 100.5 -> 111, 5 + 50.
        {"half way across", dib, 2.5, 3, {42, 111, 55}},
        {"clamped to the bottom-left", dib, -5, 1e9, {9, 8, 7}},
        {"last column has no right neighbour", dib, 5, 3, {0, 0, 0}},
        {"not a number is the first column", dib, std::nan(""), 4, {9, 8, 7}},
        {"four quarters of 255 round to 256, clamped", white, 0.5, 0.5, {255, 255, 255}},
        {"through the colour table", palette, 1, 0, {40, 0, 80}},
        {"4-bit samples as black", fourBit, 1.5, 1.5, {0, 0, 0}},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(SampleAt(c.dib, c.u, c.v), c.expected) << c.name;

    std::uint8_t out[3] = {};
    CDIB::SumWeightedPixels(out, {{{100, 200, 0}, {100, 56, 0}, {56, 0, 0}, {0, 0, 1}}});
    EXPECT_EQ((Bgr{out[0], out[1], out[2]}), (Bgr{255, 255, 1}));
    std::uint32_t value = 1;
    CDIB red(2, 2, 24);
    red.SetPixel(1, 1, 255, 0, 0);
    red.Sample(1, 1, &value);
    EXPECT_EQ(value, 0x00FF0000u);
}

// Largest channel difference between the warped block at (x, y) and per-pixel sampling at
// the same positions (pixel (x+i, y+j) at i/16 and j/16 between the corners).
int WarpError(const CDIB& source, const double (&c)[8], int x = 3, int y = 5) {
    CDIB target(x + 16, y + 16, 24);
    target.WarpBlock(x, y, source, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
    int worst = 0;
    for (int j = 0; j < 16; ++j) {
        for (int i = 0; i < 16; ++i) {
            const double fi = i / 16.0, fj = j / 16.0;
            const double u =
                (1 - fj) * ((1 - fi) * c[0] + fi * c[2]) + fj * ((1 - fi) * c[4] + fi * c[6]);
            const double v =
                (1 - fj) * ((1 - fi) * c[1] + fi * c[3]) + fj * ((1 - fi) * c[5] + fi * c[7]);
            const Bgr want = SampleAt(source, u, v);
            std::uint8_t r, g, b;
            target.GetPixel(x + i, y + j, &r, &g, &b);
            worst = std::max(
                {worst, std::abs(want[2] - r), std::abs(want[1] - g), std::abs(want[0] - b)});
        }
    }
    return worst;
}

TEST(CdibWarpBlock, AgreesWithPerPixelSampling) {
    const CDIB source = Smooth(120, 100);
    struct Case {
        const char* name;
        double corners[8];
        int tolerance;
    };
    const Case kCases[] = {
        {"identity copies the square", {5, 7, 21, 7, 5, 23, 21, 23}, 0},
        {"half scale", {10, 12, 18, 12, 10, 20, 18, 20}, 2},
        {"scale 2.5", {10, 12, 50, 12, 10, 52, 50, 52}, 2},
        {"scale 4", {3, 3, 67, 3, 3, 67, 67, 67}, 2},
        {"fractional identity", {10.3, 12.7, 26.3, 12.7, 10.3, 28.7, 26.3, 28.7}, 2},
        {"rotated and sheared", {40, 10, 70, 25, 25, 40, 58, 61}, 2},
        {"mirrored", {60, 60, 20, 60, 60, 20, 20, 20}, 2},
        {"all corners equal", {33.25, 44.75, 33.25, 44.75, 33.25, 44.75, 33.25, 44.75}, 2},
    };
    for (const Case& c : kCases)
        EXPECT_LE(WarpError(source, c.corners), c.tolerance) << c.name;
}

// The fast path's arithmetic written out per channel: 16.16 positions stepped along the block's
// edges and rows, 8-bit fractions, four weights summing to 65536.
CDIB ReferenceWarp(const CDIB& source, const double (&c)[8]) {
    CDIB target(16, 16, 24);
    const auto fixed = [](double z) { return static_cast<std::int64_t>(z * 65536.0); };
    const double top = source.GetHeight() - 1.0;
    std::int64_t lu = fixed(c[0]), lv = fixed(top - c[1]), ru = fixed(c[2]), rv = fixed(top - c[3]);
    const std::int64_t dlu = (fixed(c[4]) - lu) >> 4, dlv = (fixed(top - c[5]) - lv) >> 4;
    const std::int64_t dru = (fixed(c[6]) - ru) >> 4, drv = (fixed(top - c[7]) - rv) >> 4;
    for (int j = 0; j < 16; ++j, lu += dlu, lv += dlv, ru += dru, rv += drv) {
        std::int64_t u = lu, v = lv;
        for (int i = 0; i < 16; ++i, u += (ru - lu) >> 4, v += (rv - lv) >> 4) {
            const int col = static_cast<int>(u >> 16), memoryRow = static_cast<int>(v >> 16);
            const std::uint32_t fu = (u >> 8) & 255, fv = (v >> 8) & 255;
            const std::uint32_t w[4] = {(256 - fu) * (256 - fv), fu * (256 - fv), (256 - fu) * fv,
                                        fu * fv};
            const int px[4] = {col, col + 1, col, col + 1};
            const int py[4] = {memoryRow, memoryRow, memoryRow + 1, memoryRow + 1};
            std::uint32_t sum[3] = {};
            for (int k = 0; k < 4; ++k) {
                std::uint8_t r, g, b;
                source.GetPixel(px[k], source.GetHeight() - 1 - py[k], &r, &g, &b);
                sum[0] += b * w[k];
                sum[1] += g * w[k];
                sum[2] += r * w[k];
            }
            target.SetPixel(i, j, static_cast<std::uint8_t>(sum[2] >> 16),
                            static_cast<std::uint8_t>(sum[1] >> 16),
                            static_cast<std::uint8_t>(sum[0] >> 16));
        }
    }
    return target;
}

TEST(CdibWarpBlock, FastPathIsTheFixedPointFormulaExactly) {
    CDIB noise(67, 45, 24);  // rows padded: 201 bytes of pixels in a 204-byte stride
    std::uint32_t seed = 12345;
    for (std::uint8_t& byte : noise.GetBits()) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(seed >> 16);
    }
    const double kCorners[][8] = {
        {1, 1, 17, 1, 1, 17, 17, 17},
        {1.3, 2.7, 65, 1, 2, 43, 65, 43},  // reaches the last column and the top memory row
        {30.123, 20.77, 10.5, 3.25, 50.9, 40.01, 28.4, 1.5},
        {64.99, 42.99, 64.99, 42.99, 64.99, 42.99, 64.99, 42.99},
    };
    for (const auto& c : kCorners) {
        CDIB target(16, 16, 24);
        target.WarpBlock(0, 0, noise, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
        EXPECT_TRUE(std::ranges::equal(target.GetBits(), ReferenceWarp(noise, c).GetBits()))
            << c[0] << ", " << c[1];
    }
}

TEST(CdibWarpBlock, BlocksBeyondTheFastPathAreSampledSafely) {
    const CDIB source = Smooth(30, 30);
    EXPECT_EQ(WarpError(source, {0, 0, 29, 0, 0, 29, 29, 29}, 0, 0), 0);
    EXPECT_EQ(WarpError(source, {-40, -3, 80, -3, -40, 90, 80, 90}, 2, 2), 0);
    // Blocks hanging over the destination's edges, a NaN corner, an 8-bit destination.
    CDIB small(20, 20, 24), eight(20, 20, 8);
    small.WarpBlock(10, 10, source, 5, 5, 21, 5, 5, 21, 21, 21);
    small.WarpBlock(-8, -3, source, std::nan(""), 5, 20, 5, 5, 20, 20, 20);
    eight.WarpBlock(-8, 15, source, 5, 5, 21, 5, 5, 21, 21, 21);
    std::uint8_t r, g, b;
    small.GetPixel(19, 19, &r, &g, &b);
    EXPECT_EQ(Bgr({b, g, r}), SampleAt(source, 5 + 9, 5 + 9));
}

}  // namespace
