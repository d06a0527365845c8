// The antialias rules of each pixel format against a per-channel reference.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/render/pixel_samplers.h"

namespace {

struct Channel {
    int shift;
    std::uint32_t mask;
};

struct FormatCase {
    const char* name;
    int bytes;
    std::array<Channel, 3> channels;
};

const FormatCase kRgb555{"5-5-5", 2, {{{0, 0x1F}, {5, 0x1F}, {10, 0x1F}}}};
const FormatCase kRgb565{"5-6-5", 2, {{{0, 0x1F}, {5, 0x3F}, {11, 0x1F}}}};
const FormatCase kBgr24{"24-bit", 3, {{{0, 0xFF}, {8, 0xFF}, {16, 0xFF}}}};

// Pixel, right, up and up-right neighbours in a 2 x 2 block, one after the other.
struct Quad {
    std::array<std::uint32_t, 4> pixels;
};

std::array<std::uint8_t, 12> Pack(const FormatCase& format, const Quad& quad) {
    std::array<std::uint8_t, 12> bytes{};
    for (int i = 0; i < 4; ++i) {
        for (int b = 0; b < format.bytes; ++b) {
            bytes[i * format.bytes + b] = static_cast<std::uint8_t>(quad.pixels[i] >> (8 * b));
        }
    }
    return bytes;
}

// The rules as stated per channel: half-pixel means by the half bits, bilinear with weights
// (256 - a)(256 - b), a(256 - b), (256 - a)b, ab and the sum shifted right by 16.
std::uint32_t Reference(const FormatCase& format, const Quad& quad, bool bilinear, std::int32_t u,
                        std::int32_t v) {
    std::uint32_t result = 0;
    for (const Channel& channel : format.channels) {
        std::array<std::uint32_t, 4> c{};
        for (int i = 0; i < 4; ++i) {
            c[i] = (quad.pixels[i] >> channel.shift) & channel.mask;
        }
        std::uint32_t value = 0;
        if (bilinear) {
            const std::uint32_t a = (u & 0xF000) >> 8;
            const std::uint32_t b = (v & 0xF000) >> 8;
            value = ((256 - a) * (256 - b) * c[0] + a * (256 - b) * c[1] + (256 - a) * b * c[2] +
                     a * b * c[3]) >>
                    16;
        } else {
            const bool hu = (u & 0x8000) != 0;
            const bool hv = (v & 0x8000) != 0;
            if (hu && hv) {
                value = (c[0] + c[1] + c[2] + c[3]) >> 2;
            } else if (hu) {
                value = (c[0] + c[1]) >> 1;
            } else if (hv) {
                value = (c[0] + c[2]) >> 1;
            } else {
                value = c[0];
            }
        }
        result |= value << channel.shift;
    }
    return result;
}

template <class Format, class Level>
std::uint32_t Sampled(const FormatCase& format, const Quad& quad, std::int32_t u, std::int32_t v) {
    const std::array<std::uint8_t, 12> bytes = Pack(format, quad);
    return Level::template Sample<Format>(
        bytes.data(), Taps{0, format.bytes, 2 * format.bytes, 3 * format.bytes}, u, v);
}

template <class Format>
void CheckFormat(const FormatCase& format) {
    std::mt19937 random(7);
    const std::uint32_t all = format.bytes == 2 ? 0xFFFF : 0xFFFFFF;
    std::vector<Quad> quads = {{{0, all, all, all}}, {{all, 0, 0, 0}}, {{all, all, all, all}}};
    for (int i = 0; i < 200; ++i) {
        const auto next = [&random, all] { return static_cast<std::uint32_t>(random()) & all; };
        quads.push_back({{next(), next(), next(), next()}});
    }
    const std::int32_t fractions[] = {0, 0x8000, 0x7FFF, 0xF000, 0x1234, 0xFFFF, 0x9ABC};
    for (const Quad& quad : quads) {
        for (std::int32_t fu : fractions) {
            for (std::int32_t fv : fractions) {
                const std::int32_t u = 5 * 65536 + fu;
                const std::int32_t v = 3 * 65536 + fv;
                ASSERT_EQ((Sampled<Format, HalfLevel>(format, quad, u, v)),
                          Reference(format, quad, false, u, v))
                    << format.name << " half " << fu << " " << fv;
                ASSERT_EQ((Sampled<Format, BilinearLevel>(format, quad, u, v)),
                          Reference(format, quad, true, u, v))
                    << format.name << " bilinear " << fu << " " << fv;
            }
        }
    }
}

TEST(PixelSamplers, AveragingMatchesThePerChannelRules) {
    CheckFormat<Rgb555Format>(kRgb555);
    CheckFormat<Rgb565Format>(kRgb565);
    CheckFormat<Bgr24Format>(kBgr24);
}

TEST(PixelSamplers, NearestIgnoresTheTopBitOf555) {
    const Quad quad{{0xFFFF, 0, 0, 0}};
    EXPECT_EQ((Sampled<Rgb555Format, NearestLevel>(kRgb555, quad, 0, 0)), 0x7FFFu);
    EXPECT_EQ((Sampled<Rgb565Format, NearestLevel>(kRgb565, quad, 0, 0)), 0xFFFFu);
    // Set top bits never leak into the averaged channels.
    const Quad high{{0x8000, 0x8000, 0x8000, 0x8000}};
    EXPECT_EQ((Sampled<Rgb555Format, BilinearLevel>(kRgb555, high, 0x8000, 0x8000)), 0u);
}

}  // namespace
