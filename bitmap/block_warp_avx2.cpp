// The block warp's AVX2 kernel: a block row of 16 pixels in four groups of four, each pixel in
// one 64-bit quarter. The blend is that of the SSE2 kernel (block_warp.cpp) in twice the width;
// positions are stepped in 64-bit lanes from per-row steps that fit in 32 bits.
#include "bitmap/block_warp_avx2.h"

#include <immintrin.h>

namespace {

constexpr int kBlock = 16;

struct Weights {
    __m256i down0, down1, across0, across1;
};

Weights WeightsOf(__m256i u, __m256i v) {
    // The fraction byte (byte 1) of each quarter's position into its words 0-2; word 3 zero.
    const __m256i spread =
        _mm256_setr_epi8(1, -1, 1, -1, 1, -1, -1, -1, 9, -1, 9, -1, 9, -1, -1, -1, 1, -1, 1, -1, 1,
                         -1, -1, -1, 9, -1, 9, -1, 9, -1, -1, -1);
    const __m256i fv = _mm256_shuffle_epi8(v, spread);
    const __m256i fu = _mm256_shuffle_epi8(u, spread);
    Weights w;
    w.down1 = fv;
    w.down0 = _mm256_sub_epi16(
        _mm256_setr_epi16(256, 256, 256, 0, 256, 256, 256, 0, 256, 256, 256, 0, 256, 256, 256, 0),
        fv);
    w.across0 = _mm256_add_epi16(
        _mm256_sign_epi16(
            fu, _mm256_setr_epi16(-1, -1, 1, 0, -1, -1, 1, 0, -1, -1, 1, 0, -1, -1, 1, 0)),
        _mm256_setr_epi16(256, 256, 0, 0, 256, 256, 0, 0, 256, 256, 0, 0, 256, 256, 0, 0));
    w.across1 = _mm256_sub_epi16(
        _mm256_setr_epi16(256, 256, 256, 0, 256, 256, 256, 0, 256, 256, 256, 0, 256, 256, 256, 0),
        w.across0);
    return w;
}

// Blue, red, green, 0 of four pixels as 16-bit words.
__m256i Blend(__m256i upper, __m256i lower, const Weights& w) {
    const __m256i lowBytes = _mm256_set1_epi16(255);
    const __m256i downLow =
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(upper, lowBytes), w.down0),
                         _mm256_mullo_epi16(_mm256_and_si256(lower, lowBytes), w.down1));
    const __m256i downHigh =
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(upper, 8), w.down0),
                         _mm256_mullo_epi16(_mm256_srli_epi16(lower, 8), w.down1));
    const __m256i partners =
        _mm256_or_si256(_mm256_srli_epi64(downHigh, 16), _mm256_slli_epi64(downHigh, 32));
    const __m256i lowFirst = _mm256_mullo_epi16(downLow, w.across0);
    const __m256i lowSecond = _mm256_mullo_epi16(partners, w.across1);
    const __m256i noCarry = _mm256_cmpeq_epi16(_mm256_adds_epu16(lowFirst, lowSecond),
                                               _mm256_add_epi16(lowFirst, lowSecond));
    const __m256i highSum = _mm256_add_epi16(_mm256_mulhi_epu16(downLow, w.across0),
                                             _mm256_mulhi_epu16(partners, w.across1));
    return _mm256_sub_epi16(_mm256_add_epi16(highSum, noCarry), _mm256_set1_epi16(-1));
}

__m256i LoadPair(const std::uint8_t* low, const std::uint8_t* high) {
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
}

}  // namespace

void WarpBlockAvx2(const BlockWarpJob& job) {
    const __m256i stride = _mm256_set1_epi64x(static_cast<long long>(job.sourceStride));
    const __m256i source =
        _mm256_set1_epi64x(static_cast<long long>(reinterpret_cast<std::uintptr_t>(job.source)));
    const std::size_t sourceStride = job.sourceStride;
    // Group g holds pixels (0, 1, 4, 5) + kFirst[g]: after the 64-bit interleave of the loads
    // and the 16-bit packing below, the pixels come out in order.
    alignas(32) static constexpr std::int64_t kGroups[4][4] = {
        {0, 1, 4, 5}, {2, 3, 6, 7}, {8, 9, 12, 13}, {10, 11, 14, 15}};
    __m256i leftU = _mm256_set1_epi64x(job.leftU), leftV = _mm256_set1_epi64x(job.leftV);
    __m256i rightU = _mm256_set1_epi64x(job.rightU), rightV = _mm256_set1_epi64x(job.rightV);
    const __m256i compact =
        _mm256_setr_epi8(0, 2, 1, 4, 6, 5, 8, 10, 9, 12, 14, 13, -1, -1, -1, -1, 0, 2, 1, 4, 6, 5,
                         8, 10, 9, 12, 14, 13, -1, -1, -1, -1);
    alignas(32) const std::uint8_t* pixels[4];
    for (int j = 0; j < kBlock; ++j) {
        // (right - left) >> 4 in the low 32 bits of each lane, which the signed multiplies read.
        const __m256i stepU = _mm256_srai_epi32(_mm256_sub_epi64(rightU, leftU), 4);
        const __m256i stepV = _mm256_srai_epi32(_mm256_sub_epi64(rightV, leftV), 4);
        std::uint8_t* out = job.out - static_cast<std::size_t>(j) * job.outStride;
        {
            // Blocks are mostly filled left to right: fetch the source rows and the output row
            // two block widths on, where the row's ends will then be.
            const __m256i spanU = _mm256_sub_epi64(rightU, leftU);
            const __m256i spanV = _mm256_sub_epi64(rightV, leftV);
            const __m256i aheadU = _mm256_add_epi64(rightU, _mm256_add_epi64(spanU, spanU));
            const __m256i aheadV = _mm256_add_epi64(rightV, _mm256_add_epi64(spanV, spanV));
            const __m256i ahead = _mm256_add_epi64(
                _mm256_mul_epu32(_mm256_srli_epi64(aheadV, 16), stride),
                _mm256_mul_epu32(_mm256_srli_epi64(aheadU, 16), _mm256_set1_epi64x(3)));
            const std::uintptr_t address =
                reinterpret_cast<std::uintptr_t>(job.source) +
                static_cast<std::uintptr_t>(_mm256_extract_epi64(ahead, 0));
            _mm_prefetch(reinterpret_cast<const char*>(address), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(address + sourceStride), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(out) + 143),
                         _MM_HINT_T0);
        }
        __m256i blended[4];
        for (int g = 0; g < 4; ++g) {
            const __m256i group = _mm256_load_si256(reinterpret_cast<const __m256i*>(kGroups[g]));
            const __m256i u = _mm256_add_epi64(leftU, _mm256_mul_epi32(stepU, group));
            const __m256i v = _mm256_add_epi64(leftV, _mm256_mul_epi32(stepV, group));
            const __m256i column = _mm256_srli_epi64(u, 16);
            const __m256i offset =
                _mm256_add_epi64(_mm256_mul_epu32(_mm256_srli_epi64(v, 16), stride),
                                 _mm256_add_epi64(column, _mm256_add_epi64(column, column)));
            _mm256_store_si256(reinterpret_cast<__m256i*>(pixels),
                               _mm256_add_epi64(source, offset));
            // Read back from memory: cheaper than taking the lanes apart in registers.
            asm volatile("" : : "r"(pixels) : "memory");
            // Quarters in the order of the positions: (a, c) in the low half, (b, d) in the high.
            const std::uint8_t* a = pixels[0];
            const std::uint8_t* c = pixels[1];
            const std::uint8_t* b = pixels[2];
            const std::uint8_t* d = pixels[3];
            const __m256i upper = _mm256_unpacklo_epi64(LoadPair(a, b), LoadPair(c, d));
            const __m256i lower =
                _mm256_unpacklo_epi64(LoadPair(a + sourceStride, b + sourceStride),
                                      LoadPair(c + sourceStride, d + sourceStride));
            blended[g] = Blend(upper, lower, WeightsOf(u, v));
        }
        // Pixels 0-7 and 8-15 as blue, red, green, 0; then three bytes each, 48 in all.
        const __m256i first =
            _mm256_shuffle_epi8(_mm256_packus_epi16(blended[0], blended[1]), compact);
        const __m256i second =
            _mm256_shuffle_epi8(_mm256_packus_epi16(blended[2], blended[3]), compact);
        const __m256i head =
            _mm256_permutevar8x32_epi32(first, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
        const __m256i tail =
            _mm256_permutevar8x32_epi32(second, _mm256_setr_epi32(2, 4, 5, 6, 0, 0, 0, 1));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_blend_epi32(head, tail, 0xC0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32), _mm256_castsi256_si128(tail));
        leftU = _mm256_add_epi64(leftU, _mm256_set1_epi64x(job.leftStepU));
        leftV = _mm256_add_epi64(leftV, _mm256_set1_epi64x(job.leftStepV));
        rightU = _mm256_add_epi64(rightU, _mm256_set1_epi64x(job.rightStepU));
        rightV = _mm256_add_epi64(rightV, _mm256_set1_epi64x(job.rightStepV));
    }
}
