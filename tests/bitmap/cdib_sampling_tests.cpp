#include <gtest/gtest.h>

#include <cmath>

#include "bitmap/cdib.h"

namespace {

struct Bgr {
    int b = 0, g = 0, r = 0;
    bool operator==(const Bgr&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Bgr& c) {
    return out << "bgr(" << c.b << "," << c.g << "," << c.r << ")";
}

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
    struct Case {
        const char* name;
        double u, v;
        Bgr expected;
    };
    const Case kCases[] = {
        {"whole position is the pixel", 2, 3, {31, 20, 10}},
        // Halves rounded away from zero: 15.5 -> 16, 25.5 -> 26, 10 + 100.5 -> 111.
        {"half way across", 2.5, 3, {16 + 26, 10 + 101, 5 + 50}},
        {"clamped to the bottom-left", -5, 1e9, {9, 8, 7}},
        {"last column has no right neighbour", 5, 3, {0, 0, 0}},
        {"not a number is the first column", std::nan(""), 4, {9, 8, 7}},
    };
    for (const Case& c : kCases) EXPECT_EQ(SampleAt(dib, c.u, c.v), c.expected) << c.name;
}

TEST(CdibSampling, SaturatesAt255) {
    CDIB dib(2, 2, 24);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) dib.SetPixel(x, y, 255, 255, 255);
    }
    // Each quarter is 63.75, rounded to 64; 4 x 64 = 256 is clamped.
    EXPECT_EQ(SampleAt(dib, 0.5, 0.5), (Bgr{255, 255, 255}));

    std::uint8_t out[3] = {};
    CDIB::SumWeightedPixels(out, {{{100, 200, 0}, {100, 56, 0}, {56, 0, 0}, {0, 0, 1}}});
    EXPECT_EQ((Bgr{out[0], out[1], out[2]}), (Bgr{255, 255, 1}));
}

TEST(CdibSampling, RawValueAndDepths) {
    CDIB red(2, 2, 24);
    red.SetPixel(1, 1, 255, 0, 0);
    std::uint32_t value = 1;
    ASSERT_EQ(red.Sample(1, 1, &value), 1);
    EXPECT_EQ(value, 0x00FF0000u);

    for (int bits : {1, 4}) {
        CDIB dib(4, 4, bits);
        std::span<std::uint8_t> bits_ = dib.GetBits();
        std::fill(bits_.begin(), bits_.end(), 0xFF);
        auto* table = dib.GetColorTable().data();
        std::fill(table, table + dib.GetColorTable().size(), 0xFF);
        EXPECT_EQ(SampleAt(dib, 1.5, 1.5), Bgr{}) << bits;
    }

    CDIB palette(2, 2, 8);
    auto* table = palette.GetColorTable().data();
    table[4 * 3 + 0] = 40;  // entry 3: blue 40, red 80
    table[4 * 3 + 2] = 80;
    palette.SetPixelValue(0, 0, 3);
    EXPECT_EQ(SampleAt(palette, 0, 0), (Bgr{40, 0, 80}));
}

TEST(CdibWarpBlock, IdentityCornersCopyTheSquare) {
    const CDIB source = Smooth(40, 36);
    CDIB target(48, 48, 24);
    target.WarpBlock(16, 32, source, 5, 7, 21, 7, 5, 23, 21, 23);
    for (int j = 0; j < 16; ++j) {
        for (int i = 0; i < 16; ++i) {
            std::uint8_t a[3], b[3];
            source.GetPixel(5 + i, 7 + j, &a[0], &a[1], &a[2]);
            target.GetPixel(16 + i, 32 + j, &b[0], &b[1], &b[2]);
            ASSERT_TRUE(std::equal(a, a + 3, b)) << i << "," << j;
        }
    }
    // Nothing outside the block was touched.
    std::uint8_t r, g, b;
    target.GetPixel(15, 32, &r, &g, &b);
    EXPECT_EQ(r + g + b, 0);
    target.GetPixel(16, 31, &r, &g, &b);
    EXPECT_EQ(r + g + b, 0);
}

// Largest channel difference between the warped block and per-pixel sampling at the same
// positions (pixel (x+i, y+j) at i/16 and j/16 between the corners).
int WarpError(const CDIB& source, const double (&c)[8], int x, int y) {
    CDIB target(x + 16, y + 16, 24);
    target.WarpBlock(x, y, source, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
    int worst = 0;
    for (int j = 0; j < 16; ++j) {
        for (int i = 0; i < 16; ++i) {
            const double fi = i / 16.0, fj = j / 16.0;
            const double u = (1 - fj) * ((1 - fi) * c[0] + fi * c[2]) + fj * ((1 - fi) * c[4] + fi * c[6]);
            const double v = (1 - fj) * ((1 - fi) * c[1] + fi * c[3]) + fj * ((1 - fi) * c[5] + fi * c[7]);
            const Bgr want = SampleAt(source, u, v);
            std::uint8_t r, g, b;
            target.GetPixel(x + i, y + j, &r, &g, &b);
            worst = std::max({worst, std::abs(want.r - r), std::abs(want.g - g),
                              std::abs(want.b - b)});
        }
    }
    return worst;
}

TEST(CdibWarpBlock, AgreesWithPerPixelSampling) {
    const CDIB source = Smooth(120, 100);
    struct Case {
        const char* name;
        double corners[8];
    };
    const Case kCases[] = {
        {"half scale", {10, 12, 18, 12, 10, 20, 18, 20}},
        {"scale 2.5", {10, 12, 50, 12, 10, 52, 50, 52}},
        {"scale 4", {3, 3, 67, 3, 3, 67, 67, 67}},
        {"fractional identity", {10.3, 12.7, 26.3, 12.7, 10.3, 28.7, 26.3, 28.7}},
        {"rotated and sheared", {40, 10, 70, 25, 25, 40, 58, 61}},
        {"mirrored", {60, 60, 20, 60, 60, 20, 20, 20}},
        {"all corners equal", {33.25, 44.75, 33.25, 44.75, 33.25, 44.75, 33.25, 44.75}},
    };
    for (const Case& c : kCases) EXPECT_LE(WarpError(source, c.corners, 3, 5), 2) << c.name;
}

TEST(CdibWarpBlock, BlocksBeyondTheFastPathAreSampledSafely) {
    const CDIB source = Smooth(30, 30);
    struct Case {
        const char* name;
        double corners[8];
        int x, y;
    };
    const Case kCases[] = {
        {"corners on the edges", {0, 0, 29, 0, 0, 29, 29, 29}, 0, 0},
        {"corners outside the source", {-40, -3, 80, -3, -40, 90, 80, 90}, 2, 2},
        {"not-a-number corner", {std::nan(""), 5, 20, 5, 5, 20, 20, 20}, 0, 0},
    };
    for (const Case& c : kCases) {
        if (!std::isnan(c.corners[0])) {
            EXPECT_LE(WarpError(source, c.corners, c.x, c.y), 0) << c.name;
        }
        CDIB small(20, 20, 24);
        small.WarpBlock(10, 10, source, c.corners[0], c.corners[1], c.corners[2], c.corners[3],
                        c.corners[4], c.corners[5], c.corners[6], c.corners[7]);
        CDIB other(20, 20, 8);
        other.WarpBlock(-8, 15, source, 5, 5, 21, 5, 5, 21, 21, 21);
    }
}

}  // namespace
