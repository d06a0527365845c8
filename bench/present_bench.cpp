// A frame's way to the screen: a 1024 x 768 frame drawn into a window's surface and painted
// into a 1024 x 768 32-bit image as a window's backing store is.
//   Present       the render thread's and the window host's way: the frame's rows handed to the
//                 surface by exchange, then written straight into the backing store
//   PresentImage  its way for other paint devices: a kept 32-bit image, then drawn
//   QtConversion  the way frames went before: a copy into a QImage of the frame's own format
//                 that Qt converts while drawing it (partly on Qt's worker threads, so compare
//                 CPU time, not only wall time)
//   SurfaceDraw   a copy into the surface alone (bitmap drawing's way, and the render thread's
//                 before it exchanged rows)
// Arguments are frame formats; items per second are frame pixels per second.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

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

constexpr platform::Rect kWhole{0, 0, kWidth, kHeight};

void Present(benchmark::State& state) {
    Frame frame = MakeFrame(static_cast<PixelFormatCode>(state.range(0)));
    platform::Surface surface;
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    const QRegion everywhere(screen.rect());
    for (auto _ : state) {
        frame.view.pixels = frame.pixels.data();
        surface.DrawByExchange(frame.pixels, frame.view, kWhole);
        surface.Read([&](const platform::SurfacePicture& picture) {
            platform::PaintPictureInto(picture, screen, {}, everywhere);
        });
        benchmark::DoNotOptimize(screen.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(Present)->Arg(24)->Arg(16)->Arg(15)->Arg(8)->MeasureProcessCPUTime()->Unit(
    benchmark::kMicrosecond);

void PresentImage(benchmark::State& state) {
    const Frame frame = MakeFrame(static_cast<PixelFormatCode>(state.range(0)));
    platform::Surface surface;
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    QImage kept;
    for (auto _ : state) {
        surface.Draw(frame.view, kWhole);
        surface.Read([&](const platform::SurfacePicture& picture) {
            platform::PresentPicture(picture, kept);
        });
        QPainter(&screen).drawImage(0, 0, kept);
        benchmark::DoNotOptimize(screen.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(PresentImage)->Arg(24)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

void QtConversion(benchmark::State& state) {
    const Frame frame = MakeFrame(static_cast<PixelFormatCode>(state.range(0)));
    platform::Surface surface;
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        surface.Draw(frame.view, kWhole);
        QImage image;
        surface.Read([&](const platform::SurfacePicture& picture) {
            image = platform::ImageFromPicture(picture);
        });
        QPainter(&screen).drawImage(0, 0, image);
        benchmark::DoNotOptimize(screen.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(QtConversion)
    ->Arg(24)
    ->Arg(16)
    ->Arg(15)
    ->Arg(8)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);

void SurfaceDraw(benchmark::State& state) {
    const Frame frame = MakeFrame(static_cast<PixelFormatCode>(state.range(0)));
    platform::Surface surface;
    for (auto _ : state)
        surface.Draw(frame.view, kWhole);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(SurfaceDraw)->Arg(24)->Arg(8)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
