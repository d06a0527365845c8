#pragma once
// Bilinear sampling of a 24-bit face straight from its rows, with exactly the arithmetic of
// CDIB::Sample (clamping, weights, rounding, black outside), for the pixels that the seam
// samples one by one. Reads only; any thread, as long as the bitmap is not changed meanwhile.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "bitmap/cdib.h"

class FaceSampler {
  public:
    // `face` must be a non-empty 24-bit bitmap and outlive the sampler.
    explicit FaceSampler(const CDIB& face)
        : bits_(face.GetBits().data()),
          bytes_(face.GetBits().size()),
          stride_(face.GetStride()),
          width_(face.GetWidth()),
          height_(face.GetHeight()) {}

    // Where a sample at (u, v) reads: the upper-left pixel of the four it blends, the one
    // below it, the step to their right neighbours, and the fractions. A neighbour past the
    // last column or row is black, and its weight is 0 (u or v is then whole): it points at
    // its partner instead, which adds the same 0. `wide` when both pairs (pixel and right
    // neighbour) can be read with 8 bytes each inside the face; a right neighbour past the last
    // column then reads whatever follows, with weight 0.
    struct Footprint {
        const std::uint8_t* upper;
        const std::uint8_t* lower;
        std::size_t right;
        double fu, fv;
        bool wide;
    };

    // The footprint of (u, v); (0, 0) is the centre of the top-left pixel. Also asks the
    // processor to fetch the rows it reads, so that a caller can locate several samples before
    // it takes them.
    Footprint Locate(double u, double v) const {
        u = Clamp(u, width_ - 1.0);
        v = Clamp(v, height_ - 1.0);
        // Both are at least 0 now, so truncation is the floor.
        const int x0 = static_cast<int>(u);
        const int y0 = static_cast<int>(v);
        const std::uint8_t* upper = bits_ + static_cast<std::size_t>(height_ - 1 - y0) * stride_ +
                                    3 * static_cast<std::size_t>(x0);
        // Lower lies at or below upper in memory: one test covers both.
        const Footprint at = {upper,
                              y0 + 1 < height_ ? upper - stride_ : upper,
                              x0 + 1 < width_ ? std::size_t{3} : std::size_t{0},
                              u - x0,
                              v - y0,
                              static_cast<std::size_t>(upper - bits_) + 8 <= bytes_};
        __builtin_prefetch(at.upper);
        __builtin_prefetch(at.lower);
        return at;
    }

    // Writes blue, green, red of the sample at (u, v) to bgr[0..2].
    void SampleInto(double u, double v, std::uint8_t* bgr) const { SampleInto(Locate(u, v), bgr); }

    // The same at a footprint any sampler located: the footprint holds all the sample needs.
    static void SampleInto(const Footprint& at, std::uint8_t* bgr) {
        const double fu = at.fu, fv = at.fv;
        const std::uint8_t* upper = at.upper;
        const std::uint8_t* lower = at.lower;
        const std::size_t right = at.right;
#if defined(__SSE2__)
        // Weights (1 - fu)(1 - fv), fu(1 - fv) and (1 - fu)fv, fu fv, two at a time; each
        // channel of the left and right neighbour side by side.
        const __m128d across = _mm_setr_pd(1 - fu, fu);
        const __m128d upperWeights = _mm_mul_pd(across, _mm_set1_pd(1 - fv));
        const __m128d lowerWeights = _mm_mul_pd(across, _mm_set1_pd(fv));
        const bool wide = at.wide;
        const Channels top = Widen(wide ? LoadPair(upper) : LoadPair(upper, upper + right));
        const Channels bottom = Widen(wide ? LoadPair(lower) : LoadPair(lower, lower + right));
        const __m128i blue =
            _mm_add_epi32(Rounded(top.blue, upperWeights), Rounded(bottom.blue, lowerWeights));
        const __m128i green =
            _mm_add_epi32(Rounded(top.green, upperWeights), Rounded(bottom.green, lowerWeights));
        const __m128i red =
            _mm_add_epi32(Rounded(top.red, upperWeights), Rounded(bottom.red, lowerWeights));
        // Left plus right of each channel, then saturated to a byte.
        const __m128 pairs = _mm_castsi128_ps(_mm_unpacklo_epi64(blue, green));
        const __m128i sums =
            _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(pairs, _mm_castsi128_ps(red), 0x88)),
                          _mm_castps_si128(_mm_shuffle_ps(pairs, _mm_castsi128_ps(red), 0xDD)));
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(sums, sums), sums);
        const std::uint32_t value = static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes));
#else
        const double weights[4] = {(1 - fu) * (1 - fv), fu * (1 - fv), (1 - fu) * fv, fu * fv};
        const std::uint8_t* pixels[4] = {upper, upper + right, lower, lower + right};
        std::uint32_t value = 0;
        for (int channel = 0; channel < 3; ++channel) {
            int sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += static_cast<int>(std::floor(pixels[k][channel] * weights[k] + 0.5));
            value |= static_cast<std::uint32_t>(sum > 255 ? 255 : sum) << (8 * channel);
        }
#endif
        bgr[0] = static_cast<std::uint8_t>(value);
        bgr[1] = static_cast<std::uint8_t>(value >> 8);
        bgr[2] = static_cast<std::uint8_t>(value >> 16);
    }

  private:
    static double Clamp(double value, double highest) {
        if (std::isnan(value))
            return 0;
        if (value > highest)
            value = highest;
        if (value < 0)
            value = 0;
        return value;
    }

#if defined(__SSE2__)
    struct Channels {
        __m128d blue, green, red;
    };

    // A pixel and its right neighbour from the 8 bytes at `left`: blue, green, red of each,
    // as (left, right) byte pairs.
    static __m128i LoadPair(const std::uint8_t* left) {
        const __m128i both = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(left));
        return _mm_unpacklo_epi8(both, _mm_srli_epi64(both, 24));
    }

    // The same from exactly the three bytes of each pixel.
    static __m128i LoadPair(const std::uint8_t* left, const std::uint8_t* right) {
        const auto load24 = [](const std::uint8_t* pixel) {
            std::uint16_t blueGreen;
            std::memcpy(&blueGreen, pixel, 2);
            return _mm_cvtsi32_si128(static_cast<int>(blueGreen | (std::uint32_t{pixel[2]} << 16)));
        };
        return _mm_unpacklo_epi8(load24(left), load24(right));
    }

    // The channels of a pair as doubles, each as (left, right).
    static Channels Widen(__m128i pair) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i words = _mm_unpacklo_epi8(pair, zero);
        const __m128i blueGreen = _mm_unpacklo_epi16(words, zero);
        return {_mm_cvtepi32_pd(blueGreen), _mm_cvtepi32_pd(_mm_srli_si128(blueGreen, 8)),
                _mm_cvtepi32_pd(_mm_unpackhi_epi16(words, zero))};
    }

    // floor(channel x weight + 0.5) of both lanes in the two low 32-bit lanes; the products
    // are never negative, so truncation is the floor.
    static __m128i Rounded(__m128d channels, __m128d weights) {
        return _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(channels, weights), _mm_set1_pd(0.5)));
    }
#endif

    const std::uint8_t* bits_;
    std::size_t bytes_;  // of all pixel rows
    std::size_t stride_;
    int width_;
    int height_;
};
