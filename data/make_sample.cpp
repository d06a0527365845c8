// Writes the sample panoramas into a folder: sample.pan (4096 x 2048, full sphere, with a link
// to the second sample and a swing command) and sample2.pan (1024 x 512, with a link back).
// Usage: make_sample <output folder>. Exits with 1 and a message when a file cannot be made;
// an existing file is replaced only once its successor is completely written.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "data/sample_scene.h"
#include "engine/files/global_dib.h"
#include "engine/files/hotspot_section.h"
#include "engine/files/init_section.h"
#include "engine/files/jpeg_glue.h"
#include "engine/files/panorama_note.h"
#include "engine/files/section_archive.h"

namespace {

constexpr int kJpegQuality = 85;

struct SampleDescription {
    const char* fileName;
    int height;
    SceneColours colours;
    std::vector<SampleHotspot> hotspots;
    PanoramaNote note;
};

std::vector<std::uint8_t> JpegOf(const SphereCanvas& canvas) {
    DibHeader header;
    header.width = canvas.Width();
    header.height = canvas.Height();
    header.bitCount = 24;
    std::vector<std::uint8_t> info(kDibHeaderSize);
    WriteDibHeader(info.data(), header);
    return DibToJpeg(info, canvas.BottomUpBgr(), kJpegQuality);
}

bool WriteSample(const SampleDescription& sample, const std::filesystem::path& folder) {
    SphereCanvas canvas(sample.height);
    PaintSphere(canvas, sample.colours);
    PaintCompass(canvas);
    for (const SampleHotspot& hotspot : sample.hotspots)
        PaintHotspot(canvas, hotspot);
    const std::vector<std::uint8_t> jpeg = JpegOf(canvas);
    if (jpeg.empty())
        return false;

    std::vector<SectionHotspot> records;
    for (const SampleHotspot& hotspot : sample.hotspots) {
        records.push_back(
            {hotspot.heading1, hotspot.pitch1, hotspot.heading2, hotspot.pitch2, hotspot.action});
    }
    const auto hotspotSection = BuildHotspotSection(records);
    if (!hotspotSection)
        return false;

    SectionArchive archive;
    const InitSectionBytes init = BuildInitSection({0, 0, 0, 0, 0, 0, 0, 0});
    const std::vector<std::uint8_t> note = BuildPanoramaNote(sample.note);
    const bool stored =
        archive.SetSection("INIT", init) != 0 && archive.SetSection("BTMP", jpeg) != 0 &&
        archive.SetSection("HSPT", *hotspotSection) != 0 && archive.SetSection("NOTE", note) != 0;
    return stored && archive.Save(folder / sample.fileName) != 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample <output folder>\n");
        return 1;
    }
    const std::filesystem::path folder = argv[1];

    const SampleDescription samples[] = {
        {"sample.pan",
         2048,
         {{200, 225, 255}, {40, 80, 170}, {170, 150, 110}, {60, 90, 40}},
         {{55.0f, -6.0f, 35.0f, 10.0f, "sample2.pan", "LINK", {40, 140, 60}},
          {-35.0f, -6.0f, -55.0f, 10.0f, "#swingto(180,0,0,60,2000)", "SWING", {150, 60, 160}}},
         {{"Halvex sample generator", "Halvex", "", "", "", "", "",
           "A synthetic sphere: compass letters, bearings, a grid and marked poles",
           "LINK opens the second sample; SWING turns the view to the south", "Halvex"}}},
        {"sample2.pan",
         512,
         {{255, 200, 140}, {90, 40, 110}, {120, 100, 90}, {40, 30, 30}},
         {{45.0f, -8.0f, 25.0f, 12.0f, "sample.pan", "BACK", {180, 90, 30}}},
         {{"Halvex sample generator", "", "", "", "", "", "", "The second sample: dusk", "", ""}}},
    };
    for (const SampleDescription& sample : samples) {
        if (!WriteSample(sample, folder)) {
            std::fprintf(stderr, "make_sample: cannot write %s\n",
                         (folder / sample.fileName).string().c_str());
            return 1;
        }
    }
    return 0;
}
