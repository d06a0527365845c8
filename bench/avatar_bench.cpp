// Cost of drawing one avatar into a frame: a 256 x 256 cell scaled over most of a 1024 x 768
// frame, for every avatar depth and frame format, and the projection of its box on top.
// Items per second are destination pixels per second.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "engine/viewer/avatar.h"
#include "engine/viewer/avatar_drawing.h"

namespace {

constexpr int kFrameWidth = 1024;
constexpr int kFrameHeight = 768;
constexpr int kSide = 256;

// A 256 x 256 avatar of the given depth; every fourth pixel transparent.
AvatarSlot MakeAvatar(int bits) {
    AvatarSlot avatar;
    std::vector<std::uint8_t>& image = avatar.image;
    image.assign(40, 0);
    image[0] = 40;
    image[5] = kSide >> 8;
    image[9] = kSide >> 8;
    image[12] = 1;
    image[14] = static_cast<std::uint8_t>(bits);
    if (bits == 8) {
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            image.insert(image.end(), {v, v, v, static_cast<std::uint8_t>(i % 4 == 0 ? 0xFF : 0)});
        }
    }
    const int bytes = bits / 8;
    for (int p = 0; p < kSide * kSide; ++p) {
        for (int b = 0; b < bytes; ++b)
            image.push_back(static_cast<std::uint8_t>(b == 3 ? (p % 4 == 0 ? 0xFF : p % 3) : p));
    }
    avatar.visible = 1;
    return avatar;
}

void Blit(benchmark::State& state) {
    const AvatarSlot avatar = MakeAvatar(static_cast<int>(state.range(0)));
    const auto format = static_cast<PixelFormatCode>(state.range(1));
    std::vector<std::uint8_t> frame(
        static_cast<std::size_t>(kFrameWidth) * kFrameHeight * platform::BytesPerPixel(format),
        0x55);
    const AvatarRect destination{100, 50, 900, 700};
    for (auto _ : state) {
        BlitAvatarCell(avatar, destination, false,
                       {frame.data(), kFrameWidth, kFrameHeight, format});
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 800 * 650);
}
// 24- and 32-bit avatars draw nothing into 8-bit frames, so those pairings are left out.
BENCHMARK(Blit)
    ->Args({8, 8})
    ->ArgsProduct({{8, 24, 32}, {15, 16, 24}})
    ->ArgNames({"avatar", "frame"});

void Composite(benchmark::State& state) {
    AvatarSlot avatar = MakeAvatar(32);
    avatar.position[1] = 10;
    avatar.size[0] = avatar.size[2] = 8;
    const Renderer renderer;
    const Renderer::Environment box{-1000, 1000, -1000, 1000, -1000, 1000};
    const Renderer::Orientation view{0, 0, 0, 0, 0, 0, 90};
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(kFrameWidth) * kFrameHeight * 3, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            CompositeAvatar(avatar, renderer, box, view,
                            {frame.data(), kFrameWidth, kFrameHeight, PixelFormatCode::Bgr24}));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Composite);

}  // namespace

BENCHMARK_MAIN();
