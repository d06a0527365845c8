// Makes the sample panoramas in a folder, in two steps around the compressor:
//   make_sample bitmaps <folder>   paints sample.bmp (4096 x 2048) and sample2.bmp (1024 x 512)
//   (the build runs Compactor on each bitmap, giving sample.pan and sample2.pan)
//   make_sample sections <folder>  adds the hotspots ("HSPT": a link to the second sample, a
//                                   swing command and a bell; a link back) and the details
//                                   ("NOTE"), and writes the bell's sound, bell.wav
// Exits with 1 and a message when a file cannot be made or read; an existing file is replaced
// only once its successor is completely written.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/cdib.h"
#include "data/sample_scene.h"
#include "engine/container/hotspot_section.h"
#include "engine/container/panorama_note.h"
#include "engine/container/section_archive.h"
#include "platform/files.h"

namespace {

struct SampleSpec {
    const char* fileName;
    int height;
    SceneColours colours;
    std::vector<SampleHotspot> hotspots;
    PanoramaNote note;
};

std::filesystem::path WithExtension(const std::filesystem::path& folder, const char* fileName,
                                    const char* extension) {
    return (folder / fileName).replace_extension(extension);
}

// The painted sphere as a 24-bit bitmap file beside the panorama's name.
bool WriteBitmap(const SampleSpec& spec, const std::filesystem::path& folder) {
    SphereCanvas canvas(spec.height);
    PaintSphere(canvas, spec.colours);
    PaintCompass(canvas);
    for (const SampleHotspot& hotspot : spec.hotspots)
        PaintHotspot(canvas, hotspot);
    CDIB bitmap(canvas.Width(), canvas.Height(), 24);
    const std::vector<std::uint8_t> rows = canvas.BottomUpBgr();
    if (bitmap.IsEmpty() || bitmap.GetBits().size() != rows.size())
        return false;
    std::memcpy(bitmap.GetBits().data(), rows.data(), rows.size());
    return bitmap.Save(WithExtension(folder, spec.fileName, ".bmp").string()) != 0;
}

// Adds the hotspots and the details to the panorama the compressor made.
bool AddSections(const SampleSpec& spec, const std::filesystem::path& folder) {
    std::vector<SectionHotspot> records;
    for (const SampleHotspot& hotspot : spec.hotspots) {
        records.push_back(
            {hotspot.heading1, hotspot.pitch1, hotspot.heading2, hotspot.pitch2, hotspot.action});
    }
    const auto hotspotSection = BuildHotspotSection(records);
    if (!hotspotSection)
        return false;

    const std::filesystem::path panorama = folder / spec.fileName;
    SectionArchive archive;
    if (archive.Load(panorama) == 0)
        return false;
    const std::vector<std::uint8_t> note = BuildPanoramaNote(spec.note);
    const bool stored =
        archive.SetSection("HSPT", *hotspotSection) != 0 && archive.SetSection("NOTE", note) != 0;
    return stored && archive.Save(panorama) != 0;
}

// A 16-bit mono wave file: a bell-like tone of 0.8 s that fades out.
bool WriteBell(const std::filesystem::path& path) {
    constexpr std::uint32_t kRate = 22050;
    constexpr std::uint32_t kSamples = kRate * 8 / 10;
    std::vector<std::uint8_t> bytes;
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    auto tag = [&bytes](const char* text) { bytes.insert(bytes.end(), text, text + 4); };
    tag("RIFF");
    put(36 + kSamples * 2, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(kRate, 4);
    put(kRate * 2, 4);
    put(2, 2);
    put(16, 2);
    tag("data");
    put(kSamples * 2, 4);
    const double pi = 2 * std::acos(0.0);
    for (std::uint32_t i = 0; i < kSamples; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double tone = std::sin(2 * pi * 880 * t) + 0.5 * std::sin(2 * pi * 1320 * t);
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(9000 * tone * std::exp(-4 * t))),
            2);
    }
    return platform::WriteFileSafely(path.string(), bytes);
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string_view step = argc == 3 ? argv[1] : "";
    if (step != "bitmaps" && step != "sections") {
        std::fprintf(stderr, "usage: make_sample bitmaps|sections <folder>\n");
        return 1;
    }
    const std::filesystem::path folder = argv[2];

    const SampleSpec samples[] = {
        {"sample.pan",
         2048,
         {{200, 225, 255}, {40, 80, 170}, {170, 150, 110}, {60, 90, 40}},
         {{55.0f, -6.0f, 35.0f, 10.0f, "sample2.pan", "LINK", {40, 140, 60}},
          {-35.0f, -6.0f, -55.0f, 10.0f, "#swingto(180,0,0,60,2000)", "SWING", {150, 60, 160}},
          {145.0f, -6.0f, 125.0f, 10.0f, "bell.wav", "BELL", {200, 160, 30}}},
         {{"Halvex sample generator", "Halvex", "", "", "", "", "",
           "A synthetic sphere: compass letters, bearings, a grid and marked poles",
           "LINK opens the second sample; SWING turns the view to the south", "Halvex"}}},
        {"sample2.pan",
         512,
         {{255, 200, 140}, {90, 40, 110}, {120, 100, 90}, {40, 30, 30}},
         {{45.0f, -8.0f, 25.0f, 12.0f, "sample.pan", "BACK", {180, 90, 30}}},
         {{"Halvex sample generator", "", "", "", "", "", "", "The second sample: dusk", "", ""}}},
    };
    for (const SampleSpec& sample : samples) {
        if (step == "bitmaps" && !WriteBitmap(sample, folder)) {
            std::fprintf(stderr, "make_sample: cannot write %s\n",
                         WithExtension(folder, sample.fileName, ".bmp").string().c_str());
            return 1;
        }
        if (step == "sections" && !AddSections(sample, folder)) {
            std::fprintf(stderr, "make_sample: cannot add the sections to %s\n",
                         (folder / sample.fileName).string().c_str());
            return 1;
        }
    }
    if (step == "sections" && !WriteBell(folder / "bell.wav")) {
        std::fprintf(stderr, "make_sample: cannot write %s\n",
                     (folder / "bell.wav").string().c_str());
        return 1;
    }
    return 0;
}
