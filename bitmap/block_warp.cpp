// The block warp's kernels: the scalar reference, the SSE2 kernel and the choice among them.
#include "bitmap/block_warp.h"

#include <algorithm>
#include <vector>

#include "platform/byte_order.h"

#if defined(__x86_64__)
#include <emmintrin.h>

#include "bitmap/block_warp_avx2.h"
#endif

namespace {

constexpr int kBlock = 16;

// Two 16-bit lanes (bits 0-15 and 16-31) moved into 32-bit lanes of a 64-bit word.
std::uint64_t WidenLanes(std::uint32_t lanes) {
    return (lanes & 0xFFFFu) | (std::uint64_t{lanes >> 16} << 32);
}

#if defined(__x86_64__)

// Two pixels at once, each in one 64-bit half: the row's 16 pixels in eight steps.
//
// Per pixel the 16 bytes at the upper sample (row, column) and the lower one (row + 1) are
// read; their first six bytes are the pixel and its right neighbour, B0 G0 R0 B1 G1 R1. As
// 16-bit words, the low bytes are B0 R0 G1 and the high bytes G0 B1 R1. The down step blends
// upper and lower with (256 - fv, fv) in those positions (word 3 weighted 0); the words of the
// high bytes are then moved to B1 R1 G0, opposite the partners they are blended with across,
// with (256 - fu, fu) or (fu, 256 - fu). Every down sum is at most 255 x 256, so it fits in 16
// bits; the across sum needs 24, and its top byte is taken as the high halves of the two
// products plus the carry of their low halves. Word 3 comes out 0.
struct Sse2Weights {
    __m128i down0, down1, across0, across1;
};

// The fraction byte (bits 8-15) of each 64-bit position in words 0-2 of its half, word 3 zero.
__m128i Fractions(__m128i positions) {
    const __m128i fraction = _mm_and_si128(_mm_srli_epi64(positions, 8), _mm_set1_epi64x(255));
    const __m128i low = _mm_shufflelo_epi16(fraction, 0x40);  // words 0, 0, 0, 1
    return _mm_shufflehi_epi16(low, 0x40);
}

Sse2Weights WeightsOf(__m128i u, __m128i v) {
    const __m128i fv = Fractions(v);
    const __m128i fu = Fractions(u);
    const __m128i firstNegated = _mm_setr_epi16(-1, -1, 0, 0, -1, -1, 0, 0);
    const __m128i thirdNegated = _mm_setr_epi16(0, 0, -1, 0, 0, 0, -1, 0);
    Sse2Weights w;
    w.down1 = fv;
    w.down0 = _mm_sub_epi16(_mm_setr_epi16(256, 256, 256, 0, 256, 256, 256, 0), fv);
    w.across0 =
        _mm_add_epi16(_mm_sub_epi16(_mm_xor_si128(fu, firstNegated), firstNegated),
                      _mm_setr_epi16(256, 256, 0, 0, 256, 256, 0, 0));  // 256 - fu, 256 - fu, fu, 0
    w.across1 = _mm_add_epi16(_mm_sub_epi16(_mm_xor_si128(fu, thirdNegated), thirdNegated),
                              _mm_setr_epi16(0, 0, 256, 0, 0, 0, 256, 0));  // fu, fu, 256 - fu, 0
    return w;
}

// Blue, red, green, 0 of two pixels as 16-bit words.
__m128i Blend(__m128i upper, __m128i lower, const Sse2Weights& w) {
    const __m128i lowBytes = _mm_set1_epi16(255);
    const __m128i downLow = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(upper, lowBytes), w.down0),
                                          _mm_mullo_epi16(_mm_and_si128(lower, lowBytes), w.down1));
    const __m128i downHigh = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(upper, 8), w.down0),
                                           _mm_mullo_epi16(_mm_srli_epi16(lower, 8), w.down1));
    const __m128i partners =
        _mm_or_si128(_mm_srli_epi64(downHigh, 16), _mm_slli_epi64(downHigh, 32));
    const __m128i lowFirst = _mm_mullo_epi16(downLow, w.across0);
    const __m128i lowSecond = _mm_mullo_epi16(partners, w.across1);
    const __m128i noCarry =
        _mm_cmpeq_epi16(_mm_adds_epu16(lowFirst, lowSecond), _mm_add_epi16(lowFirst, lowSecond));
    const __m128i highSum =
        _mm_add_epi16(_mm_mulhi_epu16(downLow, w.across0), _mm_mulhi_epu16(partners, w.across1));
    return _mm_sub_epi16(_mm_add_epi16(highSum, noCarry), _mm_set1_epi16(-1));
}

void WarpBlockSse2(const BlockWarpJob& job) {
    const __m128i stride = _mm_set1_epi64x(static_cast<long long>(job.sourceStride));
    const std::size_t sourceStride = job.sourceStride;
    std::int64_t leftU = job.leftU, leftV = job.leftV, rightU = job.rightU, rightV = job.rightV;
    alignas(16) std::int64_t offsets[2];
    alignas(16) std::uint32_t pixels[kBlock];
    for (int j = 0; j < kBlock; ++j) {
        std::uint8_t* out = job.out - static_cast<std::size_t>(j) * job.outStride;
        const std::int64_t stepU = (rightU - leftU) >> 4;
        const std::int64_t stepV = (rightV - leftV) >> 4;
        __m128i u = _mm_set_epi64x(leftU + stepU, leftU);
        __m128i v = _mm_set_epi64x(leftV + stepV, leftV);
        const __m128i twoStepsU = _mm_set1_epi64x(2 * stepU);
        const __m128i twoStepsV = _mm_set1_epi64x(2 * stepV);
        // Blocks are mostly filled left to right: fetch the source rows and the output row two
        // block widths on, where the row's ends will then be.
        const std::int64_t aheadU = 3 * rightU - 2 * leftU, aheadV = 3 * rightV - 2 * leftV;
        const std::uintptr_t ahead = reinterpret_cast<std::uintptr_t>(job.source) +
                                     static_cast<std::uintptr_t>(aheadV >> 16) * sourceStride +
                                     3 * static_cast<std::uintptr_t>(aheadU >> 16);
        _mm_prefetch(reinterpret_cast<const char*>(ahead), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(ahead + sourceStride), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(out) + 143),
                     _MM_HINT_T0);
        for (int i = 0; i < kBlock; i += 4) {
            __m128i blended[2];
            for (__m128i& pair : blended) {
                const __m128i column = _mm_srli_epi64(u, 16);
                const __m128i offset =
                    _mm_add_epi64(_mm_mul_epu32(_mm_srli_epi64(v, 16), stride),
                                  _mm_add_epi64(column, _mm_add_epi64(column, column)));
                _mm_store_si128(reinterpret_cast<__m128i*>(offsets), offset);
                const std::uint8_t* first = job.source + offsets[0];
                const std::uint8_t* second = job.source + offsets[1];
                const auto load = [](const std::uint8_t* p) {
                    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                };
                pair = Blend(
                    _mm_unpacklo_epi64(load(first), load(second)),
                    _mm_unpacklo_epi64(load(first + sourceStride), load(second + sourceStride)),
                    WeightsOf(u, v));
                u = _mm_add_epi64(u, twoStepsU);
                v = _mm_add_epi64(v, twoStepsV);
            }
            _mm_store_si128(reinterpret_cast<__m128i*>(pixels + i),
                            _mm_packus_epi16(blended[0], blended[1]));
        }
        for (const std::uint32_t pixel : pixels) {
            out[0] = static_cast<std::uint8_t>(pixel);
            out[1] = static_cast<std::uint8_t>(pixel >> 16);
            out[2] = static_cast<std::uint8_t>(pixel >> 8);
            out += 3;
        }
        leftU += job.leftStepU;
        leftV += job.leftStepV;
        rightU += job.rightStepU;
        rightV += job.rightStepV;
    }
}

std::vector<NamedBlockWarpKernel> KernelsOfThisProcessor() {
    std::vector<NamedBlockWarpKernel> kernels = {{"scalar", WarpBlockScalar},
                                                 {"sse2", WarpBlockSse2}};
    if (__builtin_cpu_supports("avx2"))
        kernels.push_back({"avx2", WarpBlockAvx2});
    return kernels;
}

#else

std::vector<NamedBlockWarpKernel> KernelsOfThisProcessor() {
    return {{"scalar", WarpBlockScalar}};
}

#endif

}  // namespace

void WarpBlockScalar(const BlockWarpJob& job) {
    std::int64_t leftU = job.leftU, leftV = job.leftV, rightU = job.rightU, rightV = job.rightV;
    for (int j = 0; j < kBlock; ++j) {
        std::uint8_t* out = job.out - static_cast<std::size_t>(j) * job.outStride;
        std::int64_t u = leftU;
        std::int64_t v = leftV;
        const std::int64_t stepU = (rightU - leftU) >> 4;
        const std::int64_t stepV = (rightV - leftV) >> 4;
        for (int i = 0; i < kBlock; ++i) {
            const std::size_t column = static_cast<std::size_t>(u >> 16);
            const std::size_t row = static_cast<std::size_t>(v >> 16);
            const std::uint32_t fu = static_cast<std::uint32_t>((u >> 8) & 255);
            const std::uint32_t fv = static_cast<std::uint32_t>((v >> 8) & 255);
            const std::uint8_t* p00 = job.source + row * job.sourceStride + 3 * column;
            const std::uint8_t* p10 = p00 + job.sourceStride;
            // Each channel is (P00 w00 + P01 w01 + P10 w10 + P11 w11) >> 16, taken as two
            // steps: across each row with (256 - fu, fu), then down with (256 - fv, fv).
            // Blue and red travel together in one word (16-bit lanes across, 32-bit lanes
            // down), green alone; no lane can carry into the next.
            const std::uint32_t p00Word = platform::LoadLe32(p00);
            const std::uint32_t p01Word = platform::LoadLe32(p00 + 2) >> 8;  // never reads past P01
            const std::uint32_t p10Word = platform::LoadLe32(p10);
            const std::uint32_t p11Word = platform::LoadLe32(p10 + 2) >> 8;
            const std::uint32_t left = 256 - fu;
            const std::uint32_t upperBlueRed =
                (p00Word & 0x00FF00FFu) * left + (p01Word & 0x00FF00FFu) * fu;
            const std::uint32_t lowerBlueRed =
                (p10Word & 0x00FF00FFu) * left + (p11Word & 0x00FF00FFu) * fu;
            const std::uint32_t upperGreen =
                ((p00Word >> 8) & 255u) * left + ((p01Word >> 8) & 255u) * fu;
            const std::uint32_t lowerGreen =
                ((p10Word >> 8) & 255u) * left + ((p11Word >> 8) & 255u) * fu;
            const std::uint64_t blueRed =
                WidenLanes(upperBlueRed) * (256 - fv) + WidenLanes(lowerBlueRed) * fv;
            out[0] = static_cast<std::uint8_t>(blueRed >> 16);
            out[1] = static_cast<std::uint8_t>((upperGreen * (256 - fv) + lowerGreen * fv) >> 16);
            out[2] = static_cast<std::uint8_t>(blueRed >> 48);
            out += 3;
            u += stepU;
            v += stepV;
        }
        leftU += job.leftStepU;
        leftV += job.leftStepV;
        rightU += job.rightStepU;
        rightV += job.rightStepV;
    }
}

BlockWarpJob BlockWarpJobFor(std::uint8_t* out, std::size_t outStride, const std::uint8_t* source,
                             std::size_t sourceStride, std::span<const std::int64_t, 8> corners) {
    BlockWarpJob job;
    job.out = out;
    job.outStride = outStride;
    job.source = source;
    job.sourceStride = sourceStride;
    job.leftU = corners[0];
    job.leftV = corners[1];
    job.rightU = corners[2];
    job.rightV = corners[3];
    job.leftStepU = (corners[4] - corners[0]) >> 4;
    job.leftStepV = (corners[5] - corners[1]) >> 4;
    job.rightStepU = (corners[6] - corners[2]) >> 4;
    job.rightStepV = (corners[7] - corners[3]) >> 4;
    return job;
}

bool VectorReadsStayInside(std::span<const std::int64_t, 8> corners, int sourceHeight,
                           std::size_t sourceStride) {
    std::int64_t lowest = corners[0], highest = corners[0], highestRow = corners[1];
    for (std::size_t i = 0; i < corners.size(); i += 2) {
        lowest = std::min({lowest, corners[i], corners[i + 1]});
        highest = std::max({highest, corners[i], corners[i + 1]});
        highestRow = std::max(highestRow, corners[i + 1]);
    }
    // Positions stay within 30/65536 of the corners' range. A read from the row above the
    // highest sampled row may run on into the row above that one.
    return lowest >= 32 && highest < (std::int64_t{1} << 31) &&
           (highestRow >> 16) + 2 <= sourceHeight - 1 &&
           static_cast<std::uint64_t>(sourceHeight) * sourceStride < (std::uint64_t{1} << 32);
}

std::span<const NamedBlockWarpKernel> AvailableBlockWarpKernels() {
    static const std::vector<NamedBlockWarpKernel> kernels = KernelsOfThisProcessor();
    return kernels;
}

BlockWarpKernel FastestBlockWarpKernel() {
    static const BlockWarpKernel fastest = AvailableBlockWarpKernels().back().run;
    return fastest;
}
