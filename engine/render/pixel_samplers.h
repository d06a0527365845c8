#pragma once

// Pixel access and sampling rules of the render kernels, one struct per pixel format and one per
// antialias level. Internal to engine/render.
//
// Averaging works on "lanes": the three channels of a pixel spread into 16-bit fields of one
// 64-bit word, so that one multiply weights all three channels. Every lane sum stays below
// 65536, so the result equals the per-channel formula bit for bit.

#include <cstddef>
#include <cstdint>
#include <cstring>

struct Indexed8Format {
    using Pixel = std::uint8_t;
    static constexpr int kBytes = 1;
    static Pixel Load(const std::uint8_t* pixels, std::ptrdiff_t offset) { return pixels[offset]; }
    static void Store(std::uint8_t* out, Pixel pixel) { *out = pixel; }
    static Pixel Nearest(Pixel pixel) { return pixel; }
};

struct Packed16Format {
    using Pixel = std::uint16_t;
    static constexpr int kBytes = 2;
    static Pixel Load(const std::uint8_t* pixels, std::ptrdiff_t offset) {
        Pixel pixel;
        std::memcpy(&pixel, pixels + offset, sizeof pixel);
        return pixel;
    }
    static void Store(std::uint8_t* out, Pixel pixel) { std::memcpy(out, &pixel, sizeof pixel); }
};

// 5-5-5: blue bits 0-4, green 5-9, red 10-14; the top bit is ignored.
struct Rgb555Format : Packed16Format {
    static constexpr int kRedShift = 10;
    static constexpr std::uint16_t kGreenMask = 0x1F;  // after shifting green down by 5
    static Pixel Nearest(Pixel pixel) { return static_cast<Pixel>(pixel & 0x7FFF); }
    static std::uint64_t Spread(Pixel p) {
        return (p & 0x1Fu) | (std::uint64_t{(p >> 5) & 0x1Fu} << 16) |
               (std::uint64_t{(p >> 10) & 0x1Fu} << 32);
    }
    static constexpr std::uint64_t kLaneMask = 0x0000'001F'001F'001Full;
    static Pixel Pack(std::uint64_t lanes) {
        return static_cast<Pixel>((lanes & 0x1F) | ((lanes >> 11) & 0x3E0) |
                                  ((lanes >> 22) & 0x7C00));
    }
};

// 5-6-5: blue bits 0-4, green 5-10, red 11-15.
struct Rgb565Format : Packed16Format {
    static constexpr int kRedShift = 11;
    static constexpr std::uint16_t kGreenMask = 0x3F;  // after shifting green down by 5
    static Pixel Nearest(Pixel pixel) { return pixel; }
    static std::uint64_t Spread(Pixel p) {
        return (p & 0x1Fu) | (std::uint64_t{(p >> 5) & 0x3Fu} << 16) |
               (std::uint64_t{(p >> 11) & 0x1Fu} << 32);
    }
    static constexpr std::uint64_t kLaneMask = 0x0000'001F'003F'001Full;
    static Pixel Pack(std::uint64_t lanes) {
        return static_cast<Pixel>((lanes & 0x1F) | ((lanes >> 11) & 0x7E0) |
                                  ((lanes >> 21) & 0xF800));
    }
};

// Bytes blue, green, red; held as 0x00RRGGBB.
struct Bgr24Format {
    using Pixel = std::uint32_t;
    static constexpr int kBytes = 3;
    static Pixel Load(const std::uint8_t* pixels, std::ptrdiff_t offset) {
        const std::uint8_t* p = pixels + offset;
        return Pixel{p[0]} | (Pixel{p[1]} << 8) | (Pixel{p[2]} << 16);
    }
    static void Store(std::uint8_t* out, Pixel pixel) {
        out[0] = static_cast<std::uint8_t>(pixel);
        out[1] = static_cast<std::uint8_t>(pixel >> 8);
        out[2] = static_cast<std::uint8_t>(pixel >> 16);
    }
    static Pixel Nearest(Pixel pixel) { return pixel; }
    static std::uint64_t Spread(Pixel p) {
        return (p & 0xFFu) | (std::uint64_t{p & 0xFF00u} << 8) |
               (std::uint64_t{p & 0xFF0000u} << 16);
    }
    static constexpr std::uint64_t kLaneMask = 0x0000'00FF'00FF'00FFull;
    static Pixel Pack(std::uint64_t lanes) {
        return static_cast<Pixel>((lanes & 0xFF) | ((lanes >> 8) & 0xFF00) |
                                  ((lanes >> 16) & 0xFF0000));
    }
};

// Where a sample reads: the pixel and its right, up and up-right neighbours, as byte offsets.
struct Taps {
    std::ptrdiff_t pixel;
    std::ptrdiff_t right;
    std::ptrdiff_t up;
    std::ptrdiff_t upRight;
};

// Sums the four taps with weights that add up to 1 << shift, per channel, and drops the fraction.
template <class Format, int shift>
typename Format::Pixel WeightedSample(const std::uint8_t* pixels, const Taps& taps,
                                      std::uint32_t weightPixel, std::uint32_t weightRight,
                                      std::uint32_t weightUp, std::uint32_t weightUpRight) {
    const std::uint64_t sum = Format::Spread(Format::Load(pixels, taps.pixel)) * weightPixel +
                              Format::Spread(Format::Load(pixels, taps.right)) * weightRight +
                              Format::Spread(Format::Load(pixels, taps.up)) * weightUp +
                              Format::Spread(Format::Load(pixels, taps.upRight)) * weightUpRight;
    return Format::Pack((sum >> shift) & Format::kLaneMask);
}

// Antialias 0: the pixel itself.
struct NearestLevel {
    static constexpr int kReach = 0;  // neighbours read beyond the pixel, right and up
    template <class Format>
    static typename Format::Pixel Sample(const std::uint8_t* pixels, const Taps& taps, std::int32_t,
                                         std::int32_t) {
        return Format::Nearest(Format::Load(pixels, taps.pixel));
    }
};

// Antialias 1: bit 15 of u and of v choose the pixel, the mean with its right or up neighbour,
// or the mean of all four.
struct HalfLevel {
    static constexpr int kReach = 1;
    static constexpr int kShift = 2;           // the weights add up to 1 << kShift
    static constexpr int kFractionShift = 15;  // the fraction bit read from u and v
    static constexpr std::uint32_t WeightKey(std::int32_t u, std::int32_t v) {
        return ((static_cast<std::uint32_t>(u) >> 11) & 0x10) |
               ((static_cast<std::uint32_t>(v) >> 15) & 1);
    }
    static constexpr void Weights(std::int32_t u, std::int32_t v, std::uint32_t& pixel,
                                  std::uint32_t& right, std::uint32_t& up, std::uint32_t& upRight) {
        const std::uint32_t hu = (static_cast<std::uint32_t>(u) >> 15) & 1;
        const std::uint32_t hv = (static_cast<std::uint32_t>(v) >> 15) & 1;
        pixel = (2 - hu) * (2 - hv);
        right = hu * (2 - hv);
        up = (2 - hu) * hv;
        upRight = hu * hv;
    }
    template <class Format>
    static typename Format::Pixel Sample(const std::uint8_t* pixels, const Taps& taps,
                                         std::int32_t u, std::int32_t v) {
        std::uint32_t w[4];
        Weights(u, v, w[0], w[1], w[2], w[3]);
        return WeightedSample<Format, kShift>(pixels, taps, w[0], w[1], w[2], w[3]);
    }
};

// Antialias 8: bilinear with the top four fraction bits of u and v as weights.
struct BilinearLevel {
    static constexpr int kReach = 1;
    static constexpr int kShift = 8;           // the weights add up to 1 << kShift
    static constexpr int kFractionShift = 12;  // the lowest of the fraction bits read
    // Four fraction bits of u, then four of v: a key into a table of weights.
    static constexpr std::uint32_t WeightKey(std::int32_t u, std::int32_t v) {
        return ((static_cast<std::uint32_t>(u) >> 8) & 0xF0) |
               ((static_cast<std::uint32_t>(v) >> 12) & 0xF);
    }
    static constexpr void Weights(std::int32_t u, std::int32_t v, std::uint32_t& pixel,
                                  std::uint32_t& right, std::uint32_t& up, std::uint32_t& upRight) {
        const std::uint32_t a = (static_cast<std::uint32_t>(u) >> 12) & 0xF;
        const std::uint32_t b = (static_cast<std::uint32_t>(v) >> 12) & 0xF;
        pixel = (16 - a) * (16 - b);
        right = a * (16 - b);
        up = (16 - a) * b;
        upRight = a * b;
    }
    template <class Format>
    static typename Format::Pixel Sample(const std::uint8_t* pixels, const Taps& taps,
                                         std::int32_t u, std::int32_t v) {
        std::uint32_t w[4];
        Weights(u, v, w[0], w[1], w[2], w[3]);
        return WeightedSample<Format, kShift>(pixels, taps, w[0], w[1], w[2], w[3]);
    }
};

// The layout of the source block, for reads that must wrap or clamp: columns wrap around the
// image width within their row, rows are clamped to the block.
struct SourceGrid {
    std::ptrdiff_t width;  // pixels
    std::ptrdiff_t rows;
    std::ptrdiff_t rowBytes;  // bytes from one row to the next
    std::ptrdiff_t pixelBytes;

    std::ptrdiff_t WrapColumn(std::ptrdiff_t column) const {
        const std::ptrdiff_t wrapped = column % width;
        return wrapped < 0 ? wrapped + width : wrapped;
    }
    std::ptrdiff_t ClampRow(std::ptrdiff_t row) const {
        return row < 0 ? 0 : (row >= rows ? rows - 1 : row);
    }
    // The taps of the pixel at absolute column `column` (any integer) and row `row`.
    Taps TapsAt(std::ptrdiff_t column, std::ptrdiff_t row) const {
        const std::ptrdiff_t c = WrapColumn(column);
        const std::ptrdiff_t right = (c + 1 == width ? 0 : c + 1) * pixelBytes;
        const std::ptrdiff_t here = ClampRow(row) * rowBytes;
        const std::ptrdiff_t up = ClampRow(row + 1) * rowBytes;
        return {here + c * pixelBytes, here + right, up + c * pixelBytes, up + right};
    }
};
