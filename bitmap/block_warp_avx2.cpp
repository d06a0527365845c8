// The block warp's AVX2 kernel: positions and source offsets of a block row's 16 pixels in two
// vectors of eight 32-bit lanes (the caller keeps both below 2^32, see VectorReadsStayInside),
// then the blend in four groups of four, each pixel in one 64-bit quarter: across each row with
// a byte multiply-add, then down with 16-bit multiplies.
#include "bitmap/block_warp_avx2.h"

#include <immintrin.h>

namespace {

constexpr int kBlock = 16;

struct Weights {
    __m256i across;        // bytes 255 - fu, fu, three times, then 0, 0
    __m256i down0, down1;  // words 256 - fv and fv, three times, then 0
};

// Where the group's pixels find the fraction byte (byte 1) of their positions: spread over
// the across weights' bytes and the down weights' words.
struct Spread {
    __m256i bytes, words;
};

Weights WeightsOf(__m256i u, __m256i v, const Spread& spread) {
    const __m256i fv = _mm256_shuffle_epi8(v, spread.words);
    Weights w;
    w.across =
        _mm256_xor_si256(_mm256_shuffle_epi8(u, spread.bytes),
                         _mm256_setr_epi8(-1, 0, -1, 0, -1, 0, 0, 0, -1, 0, -1, 0, -1, 0, 0, 0, -1,
                                          0, -1, 0, -1, 0, 0, 0, -1, 0, -1, 0, -1, 0, 0, 0));
    w.down1 = fv;
    w.down0 = _mm256_sub_epi16(
        _mm256_setr_epi16(256, 256, 256, 0, 256, 256, 256, 0, 256, 256, 256, 0, 256, 256, 256, 0),
        fv);
    return w;
}

// Per channel P0 (256 - fu) + P1 fu of the pixel and its right neighbour, as 16-bit words blue,
// green, red, 0 (at most 255 x 256). The byte multiply-add takes unsigned weights 255 - fu and
// fu against the pixels less 128; adding P0 and 128 x 255 back gives the sum.
__m256i Across(__m256i pixels, __m256i across) {
    const __m256i pairs = _mm256_shuffle_epi8(
        pixels, _mm256_setr_epi8(0, 3, 1, 4, 2, 5, -1, -1, 8, 11, 9, 12, 10, 13, -1, -1, 0, 3, 1, 4,
                                 2, 5, -1, -1, 8, 11, 9, 12, 10, 13, -1, -1));
    const __m256i biased =
        _mm256_maddubs_epi16(across, _mm256_xor_si256(pairs, _mm256_set1_epi8(-128)));
    return _mm256_add_epi16(
        _mm256_add_epi16(biased, _mm256_and_si256(pairs, _mm256_set1_epi16(255))),
        _mm256_set1_epi16(128 * 255));
}

// Blue, green, red, 0 of four pixels as 16-bit words: the across sums of the upper and the
// lower row blended down with (256 - fv, fv). The down sum needs 24 bits; its top byte is the
// high halves of the two products plus the carry of their low halves.
__m256i Blend(__m256i upper, __m256i lower, const Weights& w) {
    const __m256i top = Across(upper, w.across);
    const __m256i bottom = Across(lower, w.across);
    const __m256i lowFirst = _mm256_mullo_epi16(top, w.down0);
    const __m256i lowSecond = _mm256_mullo_epi16(bottom, w.down1);
    const __m256i noCarry = _mm256_cmpeq_epi16(_mm256_adds_epu16(lowFirst, lowSecond),
                                               _mm256_add_epi16(lowFirst, lowSecond));
    const __m256i highSum =
        _mm256_add_epi16(_mm256_mulhi_epu16(top, w.down0), _mm256_mulhi_epu16(bottom, w.down1));
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
    const Spread even = {
        _mm256_setr_epi8(1, 1, 1, 1, 1, 1, -1, -1, 5, 5, 5, 5, 5, 5, -1, -1, 1, 1, 1, 1, 1, 1, -1,
                         -1, 5, 5, 5, 5, 5, 5, -1, -1),
        _mm256_setr_epi8(1, -1, 1, -1, 1, -1, -1, -1, 5, -1, 5, -1, 5, -1, -1, -1, 1, -1, 1, -1, 1,
                         -1, -1, -1, 5, -1, 5, -1, 5, -1, -1, -1)};
    const Spread odd = {
        _mm256_setr_epi8(9, 9, 9, 9, 9, 9, -1, -1, 13, 13, 13, 13, 13, 13, -1, -1, 9, 9, 9, 9, 9, 9,
                         -1, -1, 13, 13, 13, 13, 13, 13, -1, -1),
        _mm256_setr_epi8(9, -1, 9, -1, 9, -1, -1, -1, 13, -1, 13, -1, 13, -1, -1, -1, 9, -1, 9, -1,
                         9, -1, -1, -1, 13, -1, 13, -1, 13, -1, -1, -1)};
    __m256i leftU = _mm256_set1_epi32(static_cast<int>(job.leftU));
    __m256i leftV = _mm256_set1_epi32(static_cast<int>(job.leftV));
    __m256i rightU = _mm256_set1_epi32(static_cast<int>(job.rightU));
    __m256i rightV = _mm256_set1_epi32(static_cast<int>(job.rightV));
    const __m256i leftStepU = _mm256_set1_epi32(static_cast<int>(job.leftStepU));
    const __m256i leftStepV = _mm256_set1_epi32(static_cast<int>(job.leftStepV));
    const __m256i rightStepU = _mm256_set1_epi32(static_cast<int>(job.rightStepU));
    const __m256i rightStepV = _mm256_set1_epi32(static_cast<int>(job.rightStepV));
    const __m256i compact =
        _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5, 6,
                         8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    // First every row's positions and source offsets, then the loads and blends: the loads
    // then wait on nothing but memory.
    alignas(32) std::uint32_t offsets[kBlock][kBlock];
    __m256i u[kBlock][2], v[kBlock][2];
    for (int j = 0; j < kBlock; ++j) {
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
            _mm_prefetch(reinterpret_cast<const char*>(
                             reinterpret_cast<std::uintptr_t>(
                                 job.out - static_cast<std::size_t>(j) * job.outStride) +
                             143),
                         _MM_HINT_T0);
        }
        u[j][0] = _mm256_add_epi32(leftU, _mm256_mullo_epi32(stepU, iota));
        v[j][0] = _mm256_add_epi32(leftV, _mm256_mullo_epi32(stepV, iota));
        u[j][1] = _mm256_add_epi32(u[j][0], _mm256_slli_epi32(stepU, 3));
        v[j][1] = _mm256_add_epi32(v[j][0], _mm256_slli_epi32(stepV, 3));
        for (int h = 0; h < 2; ++h) {
            const __m256i column = _mm256_srli_epi32(u[j][h], 16);
            const __m256i offset =
                _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srli_epi32(v[j][h], 16), stride),
                                 _mm256_add_epi32(column, _mm256_add_epi32(column, column)));
            _mm256_store_si256(reinterpret_cast<__m256i*>(offsets[j] + 8 * h), offset);
        }
        leftU = _mm256_add_epi32(leftU, leftStepU);
        leftV = _mm256_add_epi32(leftV, leftStepV);
        rightU = _mm256_add_epi32(rightU, rightStepU);
        rightV = _mm256_add_epi32(rightV, rightStepV);
    }
    // Read back from memory: cheaper than taking the lanes apart in registers.
    asm volatile("" : : "r"(offsets) : "memory");
    for (int j = 0; j < kBlock; ++j) {
        __m256i blended[4];
        for (int g = 0; g < 4; ++g) {
            // Quarters in the order of the positions: (a, c) in the low half, (b, d) in the high.
            const std::uint32_t* group = offsets[j] + 8 * (g / 2) + 2 * (g % 2);
            const std::uint8_t* a = job.source + group[0];
            const std::uint8_t* c = job.source + group[1];
            const std::uint8_t* b = job.source + group[4];
            const std::uint8_t* d = job.source + group[5];
            const __m256i upper = _mm256_unpacklo_epi64(LoadPair(a, b), LoadPair(c, d));
            const __m256i lower =
                _mm256_unpacklo_epi64(LoadPair(a + sourceStride, b + sourceStride),
                                      LoadPair(c + sourceStride, d + sourceStride));
            blended[g] =
                Blend(upper, lower, WeightsOf(u[j][g / 2], v[j][g / 2], g % 2 ? odd : even));
        }
        // Pixels 0-7 and 8-15 as blue, green, red, 0; then three bytes each, 48 in all.
        const __m256i first =
            _mm256_shuffle_epi8(_mm256_packus_epi16(blended[0], blended[1]), compact);
        const __m256i second =
            _mm256_shuffle_epi8(_mm256_packus_epi16(blended[2], blended[3]), compact);
        const __m256i head =
            _mm256_permutevar8x32_epi32(first, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
        const __m256i tail =
            _mm256_permutevar8x32_epi32(second, _mm256_setr_epi32(2, 4, 5, 6, 0, 0, 0, 1));
        std::uint8_t* out = job.out - static_cast<std::size_t>(j) * job.outStride;
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_blend_epi32(head, tail, 0xC0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32), _mm256_castsi256_si128(tail));
    }
}
