// CDIB: the seam's block warp against per-pixel sampling, depth conversion and file reading.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "bitmap/block_warp.h"
#include "bitmap/cdib.h"

namespace {

CDIB Textured(int width, int height) {
    CDIB dib(width, height, 24);
    std::span<std::uint8_t> bits = dib.GetBits();
    for (std::size_t i = 0; i < bits.size(); ++i)
        bits[i] = static_cast<std::uint8_t>(i * 37 + i / 97);
    return dib;
}

// A 256 x 256 area filled from a source at scale 1.5, as 16 x 16 warped blocks.
void BM_WarpBlock256(benchmark::State& state) {
    const CDIB source = Textured(512, 512);
    CDIB target(256, 256, 24);
    for (auto _ : state) {
        for (int by = 0; by < 256; by += 16) {
            for (int bx = 0; bx < 256; bx += 16) {
                const double u = 10 + bx * 1.5, v = 10 + by * 1.5;
                target.WarpBlock(bx, by, source, u, v, u + 24, v, u, v + 24, u + 24, v + 24);
            }
        }
        benchmark::DoNotOptimize(target.GetBits().data());
    }
    state.SetItemsProcessed(state.iterations() * 256 * 256);
}
BENCHMARK(BM_WarpBlock256);

// The same blocks through each kernel of the block warp the processor offers (scalar, SSE2,
// AVX2), as WarpBlock sets them up: positions in 16.16, rows of the source bottom-up.
void BM_WarpKernel256(benchmark::State& state, BlockWarpKernel kernel) {
    const CDIB source = Textured(512, 512);
    CDIB target(256, 256, 24);
    const std::span<std::uint8_t> out = target.GetBits();
    for (auto _ : state) {
        for (int by = 0; by < 256; by += 16) {
            for (int bx = 0; bx < 256; bx += 16) {
                const std::int64_t u = (10 + bx * 3 / 2) * 65536, v = (480 - by * 3 / 2) * 65536;
                BlockWarpJob job;
                job.out = out.data() + static_cast<std::size_t>(255 - by) * target.GetStride() +
                          3 * static_cast<std::size_t>(bx);
                job.outStride = target.GetStride();
                job.source = source.GetBits().data();
                job.sourceStride = source.GetStride();
                job.leftU = u;
                job.leftV = v;
                job.rightU = u + 24 * 65536;
                job.rightV = v;
                job.leftStepV = job.rightStepV = -24 * 65536 / 16;
                kernel(job);
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * 256 * 256);
}

// The same area sampled pixel by pixel.
void BM_SamplePerPixel256(benchmark::State& state) {
    const CDIB source = Textured(512, 512);
    CDIB target(256, 256, 24);
    for (auto _ : state) {
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                std::uint32_t value = 0;
                source.Sample(10 + x * 1.5, 10 + y * 1.5, &value);
                target.SetPixelValue(x, y, value);
            }
        }
        benchmark::DoNotOptimize(target.GetBits().data());
    }
    state.SetItemsProcessed(state.iterations() * 256 * 256);
}
BENCHMARK(BM_SamplePerPixel256);

void BM_ChangeBitDepth24To16(benchmark::State& state) {
    const CDIB source = Textured(1024, 512);
    for (auto _ : state) {
        CDIB dib = source;
        benchmark::DoNotOptimize(dib.ChangeBitDepth(16));
    }
    state.SetItemsProcessed(state.iterations() * 1024 * 512);
}
BENCHMARK(BM_ChangeBitDepth24To16);

void BM_ReadBitmapFile(benchmark::State& state) {
    std::ostringstream out;
    Textured(2048, 1024).Write(out);
    const std::string file = out.str();
    for (auto _ : state) {
        std::istringstream in(file);
        CDIB dib(0, 0, 0);
        benchmark::DoNotOptimize(dib.Read(in));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_ReadBitmapFile);

}  // namespace

int main(int argc, char** argv) {
    for (const NamedBlockWarpKernel& kernel : AvailableBlockWarpKernels()) {
        benchmark::RegisterBenchmark((std::string("BM_WarpKernel256/") + kernel.name).c_str(),
                                     BM_WarpKernel256, kernel.run);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
