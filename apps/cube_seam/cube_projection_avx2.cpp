// The per-pixel projection of CubeProjection for four pixels at once: the same operations on
// the same operands in the same order (no contraction into fused multiply-adds), the C
// library's sincos for every pixel, the face chosen lane by lane with the same comparisons.
#include "apps/cube_seam/cube_projection_avx2.h"

#include <immintrin.h>

#include <cmath>

namespace {

constexpr int kLanes = 4;
constexpr int kRow = 16;

__m256d Negated(__m256d value) {
    return _mm256_xor_pd(value, _mm256_set1_pd(-0.0));
}

__m256d Select(__m256d mask, __m256d ifTrue, __m256d ifFalse) {
    return _mm256_blendv_pd(ifFalse, ifTrue, mask);
}

}  // namespace

void ProjectRowAvx2(const ProjectionRow& row, FacePosition* out) {
    for (int first = 0; first < kRow; first += kLanes) {
        const __m256d pitch = _mm256_div_pd(
            _mm256_mul_pd(
                _mm256_sub_pd(_mm256_set1_pd(row.rowFromCentre), _mm256_loadu_pd(row.tilt + first)),
                _mm256_set1_pd(row.pi)),
            _mm256_set1_pd(row.height));
        alignas(32) double pitches[kLanes], sines[kLanes], cosines[kLanes];
        _mm256_store_pd(pitches, pitch);
        for (int i = 0; i < kLanes; ++i)
            ::sincos(pitches[i], &sines[i], &cosines[i]);
        const __m256d cosPitch = _mm256_load_pd(cosines);
        const __m256d dx = _mm256_mul_pd(_mm256_loadu_pd(row.sinHeading + first), cosPitch);
        const __m256d dz = _mm256_mul_pd(_mm256_loadu_pd(row.cosHeading + first), cosPitch);
        const __m256d dy = _mm256_load_pd(sines);
        const __m256d xx = _mm256_mul_pd(dx, dx), yy = _mm256_mul_pd(dy, dy);
        const __m256d zz = _mm256_mul_pd(dz, dz);
        // Ties: X before Z before Y.
        const __m256d alongX =
            _mm256_and_pd(_mm256_cmp_pd(xx, zz, _CMP_GE_OQ), _mm256_cmp_pd(xx, yy, _CMP_GE_OQ));
        const __m256d alongZ = _mm256_andnot_pd(
            alongX,
            _mm256_and_pd(_mm256_cmp_pd(zz, xx, _CMP_GE_OQ), _mm256_cmp_pd(zz, yy, _CMP_GE_OQ)));
        const __m256d zero = _mm256_setzero_pd();
        const __m256d negativeX = _mm256_cmp_pd(dx, zero, _CMP_LT_OQ);
        const __m256d negativeY = _mm256_cmp_pd(dy, zero, _CMP_LT_OQ);
        const __m256d negativeZ = _mm256_cmp_pd(dz, zero, _CMP_LT_OQ);
        // Along X: a = -dz / dx, b = (dx < 0 ? -dy : dy) / dx; along Z: a = dx / dz,
        // b = (dz < 0 ? -dy : dy) / dz; along Y: a = dz / dy, b = (dy < 0 ? -dx : dx) / dy.
        const __m256d divisor = Select(alongX, dx, Select(alongZ, dz, dy));
        const __m256d a =
            _mm256_div_pd(Select(alongX, Negated(dz), Select(alongZ, dx, dz)), divisor);
        const __m256d b = _mm256_div_pd(Select(alongX, Select(negativeX, Negated(dy), dy),
                                               Select(alongZ, Select(negativeZ, Negated(dy), dy),
                                                      Select(negativeY, Negated(dx), dx))),
                                        divisor);
        // (a + 1) / 2 and (b + 1) / 2: halving is exact, as a product or a quotient.
        const __m256d one = _mm256_set1_pd(1.0), half = _mm256_set1_pd(0.5);
        alignas(32) double across[kLanes], down[kLanes];
        _mm256_store_pd(across, _mm256_mul_pd(_mm256_add_pd(a, one), half));
        _mm256_store_pd(down, _mm256_mul_pd(_mm256_add_pd(b, one), half));
        // The face as a number, chosen without branches (faces meet in these rows).
        const auto constant = [](CubeFace face) { return _mm256_set1_pd(static_cast<int>(face)); };
        alignas(32) double faces[kLanes];
        _mm256_store_pd(
            faces,
            Select(alongX, Select(negativeX, constant(CubeFace::Left), constant(CubeFace::Right)),
                   Select(alongZ,
                          Select(negativeZ, constant(CubeFace::Back), constant(CubeFace::Front)),
                          Select(negativeY, constant(CubeFace::Top), constant(CubeFace::Bottom)))));
        for (int i = 0; i < kLanes; ++i) {
            const CubeFace face = static_cast<CubeFace>(static_cast<int>(faces[i]));
            const FaceSize& size = row.faceSizes[static_cast<int>(face)];
            out[first + i] = {face, across[i] * (size.width - 1), down[i] * (size.height - 1)};
        }
    }
}
