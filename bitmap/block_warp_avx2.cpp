// The block warp's AVX2 kernel: positions and source offsets of a block row's 16 pixels in two
// vectors of eight 32-bit lanes (the caller keeps both below 2^32, see VectorReadsStayInside),
// then the blend in four groups of four, each pixel in one 64-bit quarter: that of the SSE2
// kernel (block_warp.cpp) in twice the width.
#include "bitmap/block_warp_avx2.h"

#include <immintrin.h>

namespace {

constexpr int kBlock = 16;

struct Weights {
    __m256i down0, down1, across0, across1;
};

// `spread` takes the fraction byte (byte 1) of the group's positions into words 0-2 of their
// quarters, word 3 zero.
Weights WeightsOf(__m256i u, __m256i v, __m256i spread) {
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
    const __m256i stride = _mm256_set1_epi32(static_cast<int>(job.sourceStride));
    const std::size_t sourceStride = job.sourceStride;
    const __m256i iota = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    // Group g takes pixels (0, 1, 4, 5) + 8 (g / 2) + 2 (g % 2) of the row: after the 64-bit
    // interleave of the loads and the 16-bit packing below, the pixels come out in order.
    // Their fraction bytes: bytes 1 and 5 of each half of the positions for even g, 9 and 13
    // for odd g.
    const __m256i spreadEven =
        _mm256_setr_epi8(1, -1, 1, -1, 1, -1, -1, -1, 5, -1, 5, -1, 5, -1, -1, -1, 1, -1, 1, -1, 1,
                         -1, -1, -1, 5, -1, 5, -1, 5, -1, -1, -1);
    const __m256i spreadOdd =
        _mm256_setr_epi8(9, -1, 9, -1, 9, -1, -1, -1, 13, -1, 13, -1, 13, -1, -1, -1, 9, -1, 9, -1,
                         9, -1, -1, -1, 13, -1, 13, -1, 13, -1, -1, -1);
    __m256i leftU = _mm256_set1_epi32(static_cast<int>(job.leftU));
    __m256i leftV = _mm256_set1_epi32(static_cast<int>(job.leftV));
    __m256i rightU = _mm256_set1_epi32(static_cast<int>(job.rightU));
    __m256i rightV = _mm256_set1_epi32(static_cast<int>(job.rightV));
    const __m256i leftStepU = _mm256_set1_epi32(static_cast<int>(job.leftStepU));
    const __m256i leftStepV = _mm256_set1_epi32(static_cast<int>(job.leftStepV));
    const __m256i rightStepU = _mm256_set1_epi32(static_cast<int>(job.rightStepU));
    const __m256i rightStepV = _mm256_set1_epi32(static_cast<int>(job.rightStepV));
    const __m256i compact =
        _mm256_setr_epi8(0, 2, 1, 4, 6, 5, 8, 10, 9, 12, 14, 13, -1, -1, -1, -1, 0, 2, 1, 4, 6, 5,
                         8, 10, 9, 12, 14, 13, -1, -1, -1, -1);
    alignas(32) std::uint32_t offsets[kBlock];
    for (int j = 0; j < kBlock; ++j) {
        std::uint8_t* out = job.out - static_cast<std::size_t>(j) * job.outStride;
        const __m256i stepU = _mm256_srai_epi32(_mm256_sub_epi32(rightU, leftU), 4);
        const __m256i stepV = _mm256_srai_epi32(_mm256_sub_epi32(rightV, leftV), 4);
        {
            // Blocks are mostly filled left to right: fetch the source rows and the output row
            // two block widths on, where the row's ends will then be.
            const std::int64_t right[2] = {_mm256_cvtsi256_si32(rightU),
                                           _mm256_cvtsi256_si32(rightV)};
            const std::int64_t left[2] = {_mm256_cvtsi256_si32(leftU), _mm256_cvtsi256_si32(leftV)};
            const std::int64_t aheadU = 3 * right[0] - 2 * left[0];
            const std::int64_t aheadV = 3 * right[1] - 2 * left[1];
            const std::uintptr_t address =
                reinterpret_cast<std::uintptr_t>(job.source) +
                static_cast<std::uintptr_t>(aheadV >> 16) * sourceStride +
                3 * static_cast<std::uintptr_t>(aheadU >> 16);
            _mm_prefetch(reinterpret_cast<const char*>(address), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(address + sourceStride), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(out) + 143),
                         _MM_HINT_T0);
        }
        __m256i u[2], v[2];
        u[0] = _mm256_add_epi32(leftU, _mm256_mullo_epi32(stepU, iota));
        v[0] = _mm256_add_epi32(leftV, _mm256_mullo_epi32(stepV, iota));
        u[1] = _mm256_add_epi32(u[0], _mm256_slli_epi32(stepU, 3));
        v[1] = _mm256_add_epi32(v[0], _mm256_slli_epi32(stepV, 3));
        for (int h = 0; h < 2; ++h) {
            const __m256i column = _mm256_srli_epi32(u[h], 16);
            const __m256i offset =
                _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srli_epi32(v[h], 16), stride),
                                 _mm256_add_epi32(column, _mm256_add_epi32(column, column)));
            _mm256_store_si256(reinterpret_cast<__m256i*>(offsets + 8 * h), offset);
        }
        // Read back from memory: cheaper than taking the lanes apart in registers.
        asm volatile("" : : "r"(offsets) : "memory");
        __m256i blended[4];
        for (int g = 0; g < 4; ++g) {
            // Quarters in the order of the positions: (a, c) in the low half, (b, d) in the high.
            const std::uint32_t* group = offsets + 8 * (g / 2) + 2 * (g % 2);
            const std::uint8_t* a = job.source + group[0];
            const std::uint8_t* c = job.source + group[1];
            const std::uint8_t* b = job.source + group[4];
            const std::uint8_t* d = job.source + group[5];
            const __m256i upper = _mm256_unpacklo_epi64(LoadPair(a, b), LoadPair(c, d));
            const __m256i lower =
                _mm256_unpacklo_epi64(LoadPair(a + sourceStride, b + sourceStride),
                                      LoadPair(c + sourceStride, d + sourceStride));
            blended[g] =
                Blend(upper, lower, WeightsOf(u[g / 2], v[g / 2], g % 2 ? spreadOdd : spreadEven));
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
        leftU = _mm256_add_epi32(leftU, leftStepU);
        leftV = _mm256_add_epi32(leftV, leftStepV);
        rightU = _mm256_add_epi32(rightU, rightStepU);
        rightV = _mm256_add_epi32(rightV, rightStepV);
    }
}
