// The four weighted neighbours of a sample in one vector per channel: the same products,
// roundings and sums as FaceSampler::SampleInto (no fused multiply-adds).
#include "apps/cube_seam/face_sampler_avx2.h"

#include <immintrin.h>

#include <cstring>

namespace {

// The pixel at `left` and its right neighbour as 8 bytes, blue, green, red of each.
__m128i PairAt(const FaceSampler::Footprint& at, const std::uint8_t* left) {
    if (at.wide)
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(left));
    const auto load24 = [](const std::uint8_t* pixel) {
        std::uint16_t blueGreen;
        std::memcpy(&blueGreen, pixel, 2);
        return std::uint64_t{blueGreen} | (std::uint64_t{pixel[2]} << 16);
    };
    return _mm_cvtsi64_si128(
        static_cast<long long>(load24(left) | (load24(left + at.right) << 24)));
}

// floor(channel x weight + 0.5) of the four neighbours; never negative, so truncation is the
// floor.
__m128i Rounded(__m128i channel, __m256d weights) {
    return _mm256_cvttpd_epi32(
        _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(channel), weights), _mm256_set1_pd(0.5)));
}

}  // namespace

void SampleFootprintsAvx2(std::span<const FaceSampler::Footprint> at, std::uint8_t* bgr) {
    // Upper pair in bytes 0-5, lower pair in bytes 8-13; each channel of the four neighbours
    // (upper left, upper right, lower left, lower right) into 32-bit lanes.
    const __m128i blueOf =
        _mm_setr_epi8(0, -1, -1, -1, 3, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1);
    const __m128i greenOf =
        _mm_setr_epi8(1, -1, -1, -1, 4, -1, -1, -1, 9, -1, -1, -1, 12, -1, -1, -1);
    const __m128i redOf =
        _mm_setr_epi8(2, -1, -1, -1, 5, -1, -1, -1, 10, -1, -1, -1, 13, -1, -1, -1);
    for (const FaceSampler::Footprint& f : at) {
        // Weights (1 - fu)(1 - fv), fu(1 - fv), (1 - fu)fv, fu fv.
        const __m256d weights = _mm256_mul_pd(_mm256_setr_pd(1 - f.fu, f.fu, 1 - f.fu, f.fu),
                                              _mm256_setr_pd(1 - f.fv, 1 - f.fv, f.fv, f.fv));
        const __m128i pixels = _mm_unpacklo_epi64(PairAt(f, f.upper), PairAt(f, f.lower));
        const __m128i blue = Rounded(_mm_shuffle_epi8(pixels, blueOf), weights);
        const __m128i green = Rounded(_mm_shuffle_epi8(pixels, greenOf), weights);
        const __m128i red = Rounded(_mm_shuffle_epi8(pixels, redOf), weights);
        const __m128i sums =
            _mm_hadd_epi32(_mm_hadd_epi32(blue, green), _mm_hadd_epi32(red, _mm_setzero_si128()));
        const std::uint32_t value = static_cast<std::uint32_t>(
            _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(sums, sums), sums)));
        bgr[0] = static_cast<std::uint8_t>(value);
        bgr[1] = static_cast<std::uint8_t>(value >> 8);
        bgr[2] = static_cast<std::uint8_t>(value >> 16);
        bgr += 3;
    }
}
