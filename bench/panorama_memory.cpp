// Peak resident memory of a viewer engine showing a large panorama in a headless window.
//
//   panorama_memory make PATH [WIDTH HEIGHT]   writes a JPEG panorama container (default
//                                               8192 x 4096) made with the suite's own encoder
//   panorama_memory show PATH                   opens it, draws frames, prints the figures
//
// The two steps run as separate processes (scripts/panorama-memory.sh), so that the picture
// built for the file does not count towards the peak of the process that shows it. "show"
// prints the decoded picture's size, the process's peak resident size (VmHWM) and the peak
// less the decoded picture; it exits 1 when the panorama cannot be shown.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "engine/container/section_archive.h"
#include "engine/imaging/display_conversion.h"
#include "engine/imaging/global_dib.h"
#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/dib_header.h"
#include "platform/headless/headless_backend.h"
#include "platform/messages.h"

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

// The process's peak resident size in bytes (VmHWM), 0 when it cannot be read.
double PeakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) * 1024.0;
    }
    return 0;
}

// A 24-bit picture with smooth colour ramps and a fine pattern, so that its JPEG stream has
// the size of a photograph's rather than of a flat field.
GlobalDib MakePicture(int width, int height) {
    const std::size_t stride = platform::DibRowStride(width, 24);
    GlobalDib dib =
        GlobalDib::Allocate(platform::kInfoHeaderSize + stride * static_cast<std::size_t>(height));
    if (!dib)
        return dib;
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = 24;
    dib.SetHeader(header);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = dib.Pixels() + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(x * 255 / width);
            row[3 * x + 1] = static_cast<std::uint8_t>(y * 255 / height);
            row[3 * x + 2] = static_cast<std::uint8_t>(((x ^ y) & 31) * 8);
        }
    }
    return dib;
}

int Make(const std::string& path, int width, int height) {
    std::vector<std::uint8_t> jpeg;
    {
        const GlobalDib picture = MakePicture(width, height);
        if (!picture) {
            std::fprintf(stderr, "no memory for a %d x %d picture\n", width, height);
            return 1;
        }
        jpeg = DibToJpeg(picture, 90);
    }
    SectionArchive archive;
    if (jpeg.empty() || archive.SetSection("BTMP", jpeg) == 0 || archive.Save(path) == 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("wrote %s: %d x %d, JPEG %.1f MiB\n", path.c_str(), width, height,
                jpeg.size() / kMiB);
    return 0;
}

int Show(const std::string& path) {
    platform::HeadlessBackend backend;
    const platform::WindowHandle window = backend.CreateWindow({1024, 768});
    ViewerEngine engine;
    try {
        engine.OpenFile(path.c_str(), window, platform::WM_USER, 0, 4);
    } catch (const LoadError& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    engine.AttachWindow();
    engine.SetPanVelocity(30, 10, 0);
    engine.Run(10, 2);
    backend.Pump();
    engine.DetachWindow();
    const double peak = PeakResidentBytes();
    engine.Close();
    // The decoded picture's size, from the stream's header (after the peak was read).
    const SectionArchive archive(path);
    platform::BitmapInfoHeader header;
    const double decoded = static_cast<double>(
        DecodeJpeg(archive.GetSection("BTMP"), header, {}, ProbeDisplayDepth(), 0));
    std::printf("decoded picture %.1f MiB, peak resident %.1f MiB, peak less picture %.1f MiB\n",
                decoded / kMiB, peak / kMiB, (peak - decoded) / kMiB);
    return decoded > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "make" && (argc == 3 || argc == 5)) {
        const int width = argc == 5 ? std::atoi(argv[3]) : 8192;
        const int height = argc == 5 ? std::atoi(argv[4]) : 4096;
        return Make(argv[2], width, height);
    }
    if (mode == "show" && argc == 3)
        return Show(argv[2]);
    std::fprintf(stderr, "usage: panorama_memory make PATH [WIDTH HEIGHT] | show PATH\n");
    return 2;
}
