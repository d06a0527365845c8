// A frame's way to the screen: a 1024 x 768 frame drawn into a window's surface (the render
// thread's copy) and made the image the window paints, in the screen's 32-bit format (the
// user-interface thread's pass). "Present" is both steps at every frame format; "QtConversion"
// is the image Qt converts while painting, the way that pass went before (a copy into a
// QImage of the frame's own format, then Qt's conversion to 32 bits). Items per second are
// frame pixels per second.

#include <benchmark/benchmark.h>

#include <QImage>

#include <cstdint>
#include <vector>

#include "platform/qt/surface_image.h"
#include "platform/surface.h"

namespace {

using platform::PixelFormatCode;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Frame {
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> palette;
    platform::PixelView view;
};

Frame MakeFrame(PixelFormatCode format) {
    Frame frame;
    const std::size_t stride = static_cast<std::size_t>(kWidth) * BytesPerPixel(format);
    frame.pixels.resize(stride * kHeight);
    for (std::size_t i = 0; i < frame.pixels.size(); ++i)
        frame.pixels[i] = static_cast<std::uint8_t>(i * 7 + i / stride);
    frame.palette.resize(1024);
    for (std::size_t i = 0; i < frame.palette.size(); ++i)
        frame.palette[i] = static_cast<std::uint8_t>(i * 3);
    frame.view = {kWidth, kHeight, format, frame.pixels.data(), stride, frame.palette.data()};
    return frame;
}

void Present(benchmark::State& state) {
    const Frame frame = MakeFrame(static_cast<PixelFormatCode>(state.range(0)));
    platform::Surface surface;
    QImage image;
    for (auto _ : state) {
        surface.Draw(frame.view, platform::Rect{0, 0, kWidth, kHeight});
        surface.Read([&](const platform::SurfacePicture& picture) {
            platform::PresentPicture(picture, image);
        });
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(Present)->Arg(24)->Arg(16)->Arg(15)->Arg(8)->Unit(benchmark::kMicrosecond);

// The render thread's share alone: the copy into the surface.
void SurfaceDraw(benchmark::State& state) {
    const Frame frame = MakeFrame(static_cast<PixelFormatCode>(state.range(0)));
    platform::Surface surface;
    for (auto _ : state)
        surface.Draw(frame.view, platform::Rect{0, 0, kWidth, kHeight});
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(SurfaceDraw)->Arg(24)->Arg(8)->Unit(benchmark::kMicrosecond);

void QtConversion(benchmark::State& state) {
    const Frame frame = MakeFrame(static_cast<PixelFormatCode>(state.range(0)));
    platform::Surface surface;
    for (auto _ : state) {
        surface.Draw(frame.view, platform::Rect{0, 0, kWidth, kHeight});
        QImage image;
        surface.Read([&](const platform::SurfacePicture& picture) {
            image = platform::ImageFromPicture(picture);
        });
        const QImage shown = image.convertToFormat(QImage::Format_RGB32);
        benchmark::DoNotOptimize(shown.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(QtConversion)->Arg(24)->Arg(16)->Arg(15)->Arg(8)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
