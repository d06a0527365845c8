// Frames per second of Renderer::Render for every pixel format and antialias level, against an
// exact per-pixel remap of the same views (a direction per pixel, bilinear sample) as baseline.
// Single-threaded; items per second are output pixels per second. The view pans by 3.6 degrees
// every frame at a field of view of 90.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/render/camera_model.h"
#include "engine/render/renderer.h"

namespace {

constexpr int kSrcWidth = 8192;
constexpr int kSrcHeight = 4096;
const Renderer::Environment kBox{-1000, 1000, -1000, 1000, -1000, 1000};
const Renderer::Orientation kOrigin{};

// An 8192 x 4096 panorama with a pattern that varies in every channel.
const std::vector<std::uint8_t>& Source(int bytes) {
    static std::vector<std::uint8_t> sources[4];
    std::vector<std::uint8_t>& source = sources[bytes];
    if (source.empty()) {
        source.resize(static_cast<std::size_t>(kSrcWidth) * kSrcHeight * bytes);
        std::uint32_t state = 12345;
        for (std::uint8_t& b : source) {
            state = state * 1103515245u + 12345u;
            b = static_cast<std::uint8_t>(state >> 24);
        }
    }
    return source;
}

void Render(benchmark::State& state) {
    const auto format = static_cast<PixelFormatCode>(state.range(0));
    const auto level = static_cast<AntialiasLevel>(state.range(1));
    const int width = static_cast<int>(state.range(2));
    const int height = static_cast<int>(state.range(3));
    const int bytes = BytesPerPixel(format);
    const std::vector<std::uint8_t>& source = Source(bytes);
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * height * bytes);
    Renderer renderer;
    double pan = 0;
    for (auto _ : state) {
        const Renderer::Orientation view{0, 0, 0, pan, 0, 0, 90};
        benchmark::DoNotOptimize(renderer.Render(kBox, view, kOrigin, width, height, frame.data(),
                                                 kSrcWidth, kSrcHeight, source.data(), format, 0,
                                                 level));
        benchmark::ClobberMemory();
        pan = pan >= 180 ? pan - 356.4 : pan + 3.6;
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

// The exact remap: each pixel's screen vector rotated to a direction, its heading and pitch
// turned into a panorama position, and a bilinear sample of the four pixels around it.
void ExactRemap(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const std::vector<std::uint8_t>& source = Source(3);
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * height * 3);
    const double scale = width / (2.0 * std::tan(90.0 * kDegToRad / 2.0));
    double pan = 0;
    for (auto _ : state) {
        const ScreenVector corner =
            RotateView(pan, 0, 0, 0, 0, {-width / 2.0, -height / 2.0, scale});
        const ScreenVector right = RotateView(pan, 0, 0, 0, 0, {1, 0, 0});
        const ScreenVector up = RotateView(pan, 0, 0, 0, 0, {0, 1, 0});
        std::uint8_t* out = frame.data();
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const double p = corner.p + x * right.p + y * up.p;
                const double q = corner.q + x * right.q + y * up.q;
                const double r = corner.r + x * right.r + y * up.r;
                const double column = (std::atan2(p, r) * kRadToDeg + 180.0) / 360.0 * kSrcWidth;
                const double row = (std::atan2(q, std::sqrt(p * p + r * r)) * kRadToDeg + 90.0) /
                                   180.0 * (kSrcHeight - 1);
                const int c0 = static_cast<int>(column) % kSrcWidth;
                const int c1 = (c0 + 1) % kSrcWidth;
                const int r0 = static_cast<int>(row);
                const int r1 = r0 + 1 < kSrcHeight ? r0 + 1 : r0;
                const double fc = column - std::floor(column);
                const double fr = row - r0;
                const std::uint8_t* p00 =
                    &source[(static_cast<std::size_t>(r0) * kSrcWidth + c0) * 3];
                const std::uint8_t* p01 =
                    &source[(static_cast<std::size_t>(r0) * kSrcWidth + c1) * 3];
                const std::uint8_t* p10 =
                    &source[(static_cast<std::size_t>(r1) * kSrcWidth + c0) * 3];
                const std::uint8_t* p11 =
                    &source[(static_cast<std::size_t>(r1) * kSrcWidth + c1) * 3];
                for (int k = 0; k < 3; ++k) {
                    const double top = p10[k] + (p11[k] - p10[k]) * fc;
                    const double bottom = p00[k] + (p01[k] - p00[k]) * fc;
                    out[k] = static_cast<std::uint8_t>(bottom + (top - bottom) * fr);
                }
                out += 3;
            }
        }
        benchmark::ClobberMemory();
        pan = pan >= 180 ? pan - 356.4 : pan + 3.6;
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

const int kSizes[][2] = {{640, 480}, {1024, 768}, {1920, 1088}};

void RenderArguments(benchmark::internal::Benchmark* b) {
    b->ArgNames({"format", "antialias", "width", "height"});
    for (const auto& size : kSizes) {
        b->Args({8, 0, size[0], size[1]});
        for (int format : {15, 16, 24}) {
            for (int level : {0, 1, 8}) {
                b->Args({format, level, size[0], size[1]});
            }
        }
    }
}

void RemapArguments(benchmark::internal::Benchmark* b) {
    b->ArgNames({"width", "height"});
    for (const auto& size : kSizes) {
        b->Args({size[0], size[1]});
    }
}

BENCHMARK(Render)->Apply(RenderArguments)->Unit(benchmark::kMillisecond);
BENCHMARK(ExactRemap)->Apply(RemapArguments)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
