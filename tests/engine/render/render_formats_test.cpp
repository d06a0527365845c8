// Every pixel format draws the same picture as 24-bit, up to its colour precision.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tests/engine/render/render_test_support.h"

namespace {

constexpr int kSrcWidth = 512;
constexpr int kSrcHeight = 256;
constexpr int kOutWidth = 160;
constexpr int kOutHeight = 128;

struct Rgb {
    int r;
    int g;
    int b;
};

struct FormatCase {
    PixelFormatCode format;
    int bytes;
    // 24-bit colour to this format's pixel, and back to channels at this format's precision.
    std::uint32_t (*encode)(Rgb);
    Rgb (*decode)(std::uint32_t);
};

const FormatCase kFormats[] = {
    {PixelFormatCode::Rgb565, 2,
     [](Rgb c) { return std::uint32_t((c.r >> 3) << 11 | (c.g >> 2) << 5 | (c.b >> 3)); },
     [](std::uint32_t p) {
         return Rgb{int(p >> 11 & 31), int(p >> 5 & 63), int(p & 31)};
     }},
    // The top bit is set in the source: it must not show.
    {PixelFormatCode::Rgb555, 2,
     [](Rgb c) { return std::uint32_t(0x8000 | (c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3)); },
     [](std::uint32_t p) {
         return Rgb{int(p >> 10 & 31), int(p >> 5 & 31), int(p & 31)};
     }},
    // A 3-3-2 palette.
    {PixelFormatCode::Indexed8, 1,
     [](Rgb c) { return std::uint32_t((c.r >> 5) << 5 | (c.g >> 5) << 2 | (c.b >> 6)); },
     [](std::uint32_t p) {
         return Rgb{int(p >> 5 & 7), int(p >> 2 & 7), int(p & 3)};
     }},
};

Rgb ReadRgb(const std::uint8_t* p) {
    return {p[2], p[1], p[0]};
}

std::uint32_t ReadPixel(const std::uint8_t* p, int bytes) {
    return bytes == 1 ? p[0] : static_cast<std::uint32_t>(p[0] | p[1] << 8);
}

std::vector<std::uint8_t> Convert(const std::vector<std::uint8_t>& bgr, const FormatCase& f) {
    std::vector<std::uint8_t> out(bgr.size() / 3 * f.bytes);
    for (std::size_t i = 0; i < bgr.size() / 3; ++i) {
        const std::uint32_t p = f.encode(ReadRgb(&bgr[i * 3]));
        for (int b = 0; b < f.bytes; ++b) {
            out[i * f.bytes + b] = static_cast<std::uint8_t>(p >> (8 * b));
        }
    }
    return out;
}

std::vector<std::uint8_t> Draw(const std::vector<std::uint8_t>& source, PixelFormatCode format,
                               int bytes, AntialiasLevel level, const Renderer::Orientation& view) {
    Renderer renderer;
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(kOutWidth) * kOutHeight * bytes);
    EXPECT_EQ(renderer.Render(kEngineBox, view, kAtOrigin, kOutWidth, kOutHeight, frame.data(),
                              kSrcWidth, kSrcHeight, source.data(), format, 0, level),
              1);
    return frame;
}

TEST(RenderFormats, EveryFormatDrawsThe24BitPicture) {
    const std::vector<std::uint8_t> source24 = TexturedPanorama(kSrcWidth, kSrcHeight);
    const Renderer::Orientation views[] = {
        {0, 0, 0, 10, 5, 0, 90}, {0, 0, 0, 181, 88, 20, 120}, {0, 0, 0, 290, -70, -30, 40}};
    const AntialiasLevel levels[] = {AntialiasLevel::Nearest, AntialiasLevel::Half,
                                     AntialiasLevel::Bilinear};
    for (const FormatCase& f : kFormats) {
        const std::vector<std::uint8_t> source = Convert(source24, f);
        for (const Renderer::Orientation& view : views) {
            for (AntialiasLevel level : levels) {
                const std::vector<std::uint8_t> expected =
                    Convert(Draw(source24, PixelFormatCode::Bgr24, 3, level, view), f);
                const std::vector<std::uint8_t> drawn =
                    Draw(source, f.format, f.bytes, level, view);
                // Nearest sampling picks the same pixel; averages may differ by one step of
                // the coarser channels. Indexed pixels are always nearest.
                const int tolerance =
                    level == AntialiasLevel::Nearest || f.format == PixelFormatCode::Indexed8 ? 0
                                                                                              : 1;
                const AntialiasLevel compared =
                    f.format == PixelFormatCode::Indexed8 ? AntialiasLevel::Nearest : level;
                const std::vector<std::uint8_t> reference =
                    compared == level
                        ? expected
                        : Convert(Draw(source24, PixelFormatCode::Bgr24, 3, compared, view), f);
                int differing = 0;
                for (std::size_t i = 0; i < drawn.size() / f.bytes; ++i) {
                    const Rgb a = f.decode(ReadPixel(&drawn[i * f.bytes], f.bytes));
                    const Rgb b = f.decode(ReadPixel(&reference[i * f.bytes], f.bytes));
                    if (std::abs(a.r - b.r) > tolerance || std::abs(a.g - b.g) > tolerance ||
                        std::abs(a.b - b.b) > tolerance) {
                        ++differing;
                    }
                }
                EXPECT_EQ(differing, 0)
                    << int(f.format) << " level " << int(level) << " pan " << view.pan;
            }
        }
    }
}

}  // namespace

namespace {

// With channel values small enough for 5-6-5, the 24-bit kernels and the 5-6-5 kernels average
// the same numbers and must agree exactly.
TEST(RenderFormats, AveragingAgreesExactlyAcrossFormats) {
    const std::vector<std::uint8_t> textured = TexturedPanorama(kSrcWidth, kSrcHeight);
    std::vector<std::uint8_t> small24(textured.size());
    std::vector<std::uint8_t> small565(textured.size() / 3 * 2);
    for (std::size_t i = 0; i < textured.size() / 3; ++i) {
        const int b = textured[i * 3] >> 3;
        const int g = textured[i * 3 + 1] >> 2;
        const int r = textured[i * 3 + 2] >> 3;
        small24[i * 3] = static_cast<std::uint8_t>(b);
        small24[i * 3 + 1] = static_cast<std::uint8_t>(g);
        small24[i * 3 + 2] = static_cast<std::uint8_t>(r);
        const int pixel = r << 11 | g << 5 | b;
        small565[i * 2] = static_cast<std::uint8_t>(pixel);
        small565[i * 2 + 1] = static_cast<std::uint8_t>(pixel >> 8);
    }
    for (double pan = -180; pan < 180; pan += 40) {
        const Renderer::Orientation view{0, 0, 0, pan, pan / 3, pan / 5, 60 + pan / 4};
        for (AntialiasLevel level : {AntialiasLevel::Half, AntialiasLevel::Bilinear}) {
            const std::vector<std::uint8_t> wide =
                Draw(small24, PixelFormatCode::Bgr24, 3, level, view);
            const std::vector<std::uint8_t> packed =
                Draw(small565, PixelFormatCode::Rgb565, 2, level, view);
            int differing = 0;
            for (std::size_t i = 0; i < packed.size() / 2; ++i) {
                const int pixel = packed[i * 2] | packed[i * 2 + 1] << 8;
                differing += wide[i * 3] != (pixel & 31) || wide[i * 3 + 1] != (pixel >> 5 & 63) ||
                                     wide[i * 3 + 2] != (pixel >> 11)
                                 ? 1
                                 : 0;
            }
            EXPECT_EQ(differing, 0) << "pan " << pan << " level " << int(level);
        }
    }
}

}  // namespace
