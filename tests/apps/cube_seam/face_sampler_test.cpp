// The seam's per-pixel sampler (and its AVX2 run, where the processor has it) writes exactly
// CDIB::SampleBilinear's bytes, wherever the position lies.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "apps/cube_seam/face_sampler.h"

#if defined(__x86_64__)
#include "apps/cube_seam/face_sampler_avx2.h"
#endif

namespace {

CDIB Noise(int width, int height) {
    CDIB dib(width, height, 24);
    std::uint32_t seed = static_cast<std::uint32_t>(width * 131 + height);
    for (std::uint8_t& byte : dib.GetBits()) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(seed >> 16);
    }
    return dib;
}

TEST(FaceSampler, SameBytesAsTheBitmapsSample) {
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    const double kPositions[][2] = {
        {0, 0},     {2, 3},       {2.5, 3},       {0.25, 0.75},  {-0.0, -0.0},
        {-5, 1e9},  {nan, 4},     {3, nan},       {inf, -inf},   {1e300, 0.5},
        {6, 2.999}, {6.999, 8.5}, {5.9999999, 9}, {0.5, 8.0001}, {3.3333, 4.6667},
    };
    // The last column and row of each face are sampled (6 and 8 for the first face).
    const CDIB faces[] = {Noise(7, 9), Noise(1, 1), Noise(2, 5), Noise(4, 4)};
    for (const CDIB& face : faces) {
        const FaceSampler sampler(face);
        for (const auto& p : kPositions) {
            std::uint8_t want[3] = {}, got[4] = {0, 0, 0, 0xA5};
            face.SampleBilinear(p[0], p[1], want);
            sampler.SampleInto(p[0], p[1], got);
            EXPECT_EQ((std::array<int, 4>{got[0], got[1], got[2], got[3]}),
                      (std::array<int, 4>{want[0], want[1], want[2], 0xA5}))
                << face.GetWidth() << " x " << face.GetHeight() << " at " << p[0] << ", " << p[1];
#if defined(__x86_64__)
            if (__builtin_cpu_supports("avx2")) {
                const FaceSampler::Footprint at[2] = {sampler.Locate(p[0], p[1]),
                                                      sampler.Locate(p[1], p[0])};
                std::uint8_t run[7] = {0, 0, 0, 0, 0, 0, 0xA5}, second[3] = {};
                SampleFootprintsAvx2(at, run);
                sampler.SampleInto(p[1], p[0], second);
                EXPECT_EQ(
                    (std::array<int, 7>{run[0], run[1], run[2], run[3], run[4], run[5], run[6]}),
                    (std::array<int, 7>{want[0], want[1], want[2], second[0], second[1], second[2],
                                        0xA5}))
                    << "AVX2 run at " << p[0] << ", " << p[1];
            }
#endif
        }
    }
    // Four quarters of 255 round up to 64 each: the sum 256 is held at 255.
    CDIB white(2, 2, 24);
    std::ranges::fill(white.GetBits(), 255);
    std::uint8_t out[3] = {};
    FaceSampler(white).SampleInto(0.5, 0.5, out);
    EXPECT_EQ((std::array<int, 3>{out[0], out[1], out[2]}), (std::array<int, 3>{255, 255, 255}));
}

}  // namespace
