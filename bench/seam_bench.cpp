// The cube seam: six 1024 x 1024 textured faces into a 4096 x 2048 panorama on one thread,
// against the exact per-pixel projection with a bilinear sample for every pixel. The seam's
// output hash over several face sets is reported as the label of its run, so that speed work
// can be checked to change no pixel.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "apps/cube_seam/cube_assembly.h"
#include "apps/cube_seam/cube_projection.h"
#include "apps/cube_seam/face_sampler.h"

namespace {

constexpr int kFace = 1024;
constexpr int kWidth = 4096;
constexpr int kHeight = 2048;

// A smooth texture with some fine detail, different per face and per `seed`.
std::vector<CDIB> TexturedFaces(int size, int seed) {
    std::vector<CDIB> faces;
    for (int k = 0; k < kCubeFaceCount; ++k) {
        CDIB face(size, size, 24);
        const double phase = 0.9 * k + 2.1 * seed;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const auto channel = [&](double fx, double fy, int detail) {
                    const double smooth = 120 * std::sin(x * fx + phase) * std::cos(y * fy - phase);
                    return static_cast<std::uint32_t>(
                        std::lround(127.5 + smooth * 0.9 + ((x * 7 + y * 13 + detail) % 25) - 12));
                };
                face.SetPixelValue(x, y,
                                   channel(0.011, 0.017, 0) | channel(0.023, 0.005, 5) << 8 |
                                       channel(0.007, 0.013, 11) << 16);
            }
        }
        faces.push_back(std::move(face));
    }
    return faces;
}

CubeFaceSet SetOf(const std::vector<CDIB>& faces) {
    CubeFaceSet set{};
    for (int k = 0; k < kCubeFaceCount; ++k)
        set[k] = &faces[static_cast<std::size_t>(k)];
    return set;
}

std::uint64_t Fnv1a(std::span<const std::uint8_t> bytes, std::uint64_t hash) {
    for (std::uint8_t byte : bytes)
        hash = (hash ^ byte) * 0x100000001B3ull;
    return hash;
}

void BM_Seam4096(benchmark::State& state) {
    const std::vector<CDIB> faces = TexturedFaces(kFace, 0);
    CDIB panorama(kWidth, kHeight, 24);
    for (auto _ : state) {
        FillCubePanorama(SetOf(faces), panorama);
        benchmark::DoNotOptimize(panorama.GetBits().data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);

    // The output over several face sets and sizes, for comparing builds.
    std::uint64_t hash = 0xCBF29CE484222325ull;
    const int sizes[][3] = {
        {1024, 4096, 2048}, {512, 2048, 1024}, {700, 1536, 768}, {97, 512, 256}};
    for (int seed = 0; seed < 4; ++seed) {
        const std::vector<CDIB> set = TexturedFaces(sizes[seed][0], seed);
        CDIB output(sizes[seed][1], sizes[seed][2], 24);
        FillCubePanorama(SetOf(set), output);
        hash = Fnv1a(output.GetBits(), hash);
    }
    char label[32];
    std::snprintf(label, sizeof label, "hash %016llx", static_cast<unsigned long long>(hash));
    state.SetLabel(label);
}
BENCHMARK(BM_Seam4096)->Unit(benchmark::kMillisecond);

// The baseline: every pixel projected and sampled on its own.
void BM_ExactPerPixel4096(benchmark::State& state) {
    const std::vector<CDIB> faces = TexturedFaces(kFace, 0);
    std::array<FaceSize, kCubeFaceCount> sizes{};
    sizes.fill({kFace, kFace});
    const CubeProjection projection(kWidth, kHeight, sizes);
    std::vector<FaceSampler> samplers(faces.begin(), faces.end());
    CDIB panorama(kWidth, kHeight, 24);
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* out = panorama.GetBits().data() +
                                static_cast<std::size_t>(kHeight - 1 - y) * panorama.GetStride();
            for (int x = 0; x < kWidth; ++x, out += 3) {
                const FacePosition p = projection.PanoramaPixelToFace(x, y);
                samplers[static_cast<std::size_t>(p.face)].SampleInto(p.u, p.v, out);
            }
        }
        benchmark::DoNotOptimize(panorama.GetBits().data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ExactPerPixel4096)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
