// Decoding a full-sphere JPEG panorama record (8192 x 4096) into a 24-bit GlobalDib, against
// plain libjpeg-turbo decoding the same stream into a buffer. Prints both and their ratio.
// Then the refusal of hostile progressive streams of thousands of scans over every block of a
// 16384 x 6144 grey picture (the most blocks the decoder keeps): with no DC scan (refused by
// its warnings) and after a DC scan (refused by the work its scans ask for). Prints the
// CPU time of each refusal.

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include "engine/imaging/image_decoder.h"
#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "platform/display_depth.h"
#include "tests/engine/imaging/progressive_scans_jpeg.h"

namespace {

constexpr int kWidth = 8192;
constexpr int kHeight = 4096;

// A panorama-like picture: sky gradient, a textured ground, a band of detail at the horizon.
const std::vector<std::uint8_t>& PanoramaStream() {
    static const std::vector<std::uint8_t> stream = [] {
        std::vector<std::uint8_t> info(40, 0);
        platform::BitmapInfoHeader header;
        header.biWidth = kWidth;
        header.biHeight = kHeight;
        header.biBitCount = 24;
        platform::StoreInfoHeader(info.data(), header);
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 3);
        std::uint32_t seed = 1;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                seed = seed * 1664525 + 1013904223;
                const int noise = static_cast<int>(seed >> 28);
                const double detail = std::sin(x * 0.05) * std::cos(y * 0.07) * 40;
                std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * kWidth + x) * 3];
                if (y > kHeight / 2) {
                    pixel[0] = static_cast<std::uint8_t>(255 - y * 100 / kHeight);
                    pixel[1] = static_cast<std::uint8_t>(150 + noise);
                    pixel[2] = static_cast<std::uint8_t>(90 + noise);
                } else {
                    pixel[0] = static_cast<std::uint8_t>(60 + detail + noise);
                    pixel[1] = static_cast<std::uint8_t>(110 + detail + noise * 2);
                    pixel[2] = static_cast<std::uint8_t>(80 + detail / 2 + noise);
                }
            }
        }
        return DibToJpeg(info, pixels, 75);
    }();
    return stream;
}

void DecompressImageTo24Bits(benchmark::State& state) {
    const std::vector<std::uint8_t>& stream = PanoramaStream();
    platform::OverrideDisplayDepth(24);
    for (auto _ : state) {
        GlobalDib dib = DecompressImage(stream);
        benchmark::DoNotOptimize(dib.Data());
    }
    platform::ClearDisplayDepthOverride();
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(stream.size()));
}

void PlainLibjpegTurbo(benchmark::State& state) {
    const std::vector<std::uint8_t>& stream = PanoramaStream();
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(kWidth) * kHeight * 3);
    for (auto _ : state) {
        jpeg_decompress_struct info;
        jpeg_error_mgr errors;
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, stream.data(), static_cast<unsigned long>(stream.size()));
        jpeg_read_header(&info, TRUE);
        jpeg_start_decompress(&info);
        const std::size_t stride =
            static_cast<std::size_t>(info.output_width) * info.output_components;
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = buffer.data() + info.output_scanline * stride;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(stream.size()));
}

constexpr int kHostileWidth = 16384;
constexpr int kHostileHeight = 6144;
constexpr int kHostileScans = 5000;

const std::vector<std::uint8_t>& ManyScansStream(bool dcScan) {
    static const auto make = [](bool dc) {
        ProgressiveScansJpeg jpeg(kHostileWidth, kHostileHeight, 1);
        if (dc)
            jpeg.DcScan();
        for (int s = 0; s < kHostileScans; ++s)
            jpeg.AcScan(0, 1, 63, 0, 0);
        return jpeg.Finish();
    };
    static const std::vector<std::uint8_t> streams[2] = {make(false), make(true)};
    return streams[dcScan ? 1 : 0];
}

void RefuseManyScans(benchmark::State& state) {
    const std::vector<std::uint8_t>& stream = ManyScansStream(state.range(0) != 0);
    platform::OverrideDisplayDepth(24);
    for (auto _ : state) {
        try {
            DecompressImage(stream);
            state.SkipWithError("the many-scan stream decoded");
        } catch (const LoadError&) {
        }
    }
    platform::ClearDisplayDepthOverride();
}

BENCHMARK(DecompressImageTo24Bits)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PlainLibjpegTurbo)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(RefuseManyScans)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps each benchmark's real and CPU time per iteration while printing as usual.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) {
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
                cpuTimes[run.benchmark_name()] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    std::map<std::string, double> cpuTimes;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ours = reporter.times.find("DecompressImageTo24Bits/min_time:2.000");
    const auto plain = reporter.times.find("PlainLibjpegTurbo/min_time:2.000");
    if (ours != reporter.times.end() && plain != reporter.times.end() && plain->second > 0) {
        std::printf(
            "%d x %d JPEG (%zu bytes): DecompressImage %.1f ms, plain libjpeg-turbo %.1f ms, ratio "
            "%.2f\n",
            kWidth, kHeight, PanoramaStream().size(), ours->second, plain->second,
            ours->second / plain->second);
    }
    for (const int dcScan : {0, 1}) {
        const auto refusal =
            reporter.cpuTimes.find("RefuseManyScans/" + std::to_string(dcScan) + "/min_time:2.000");
        if (refusal != reporter.cpuTimes.end()) {
            std::printf(
                "%d x %d progressive JPEG of %d AC scans%s (%zu bytes): refused in %.0f ms "
                "of CPU\n",
                kHostileWidth, kHostileHeight, kHostileScans,
                dcScan != 0 ? " after a DC scan" : ", no DC scan",
                ManyScansStream(dcScan != 0).size(), refusal->second);
        }
    }
    benchmark::Shutdown();
    return 0;
}
