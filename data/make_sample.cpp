// Makes the sample panoramas in a folder, in two steps around the compressor:
//   make_sample bitmaps <folder>   paints sample.bmp (4096 x 2048) and sample2.bmp (1024 x 512)
//   (the build runs Compactor on each bitmap, giving sample.pan and sample2.pan)
//   make_sample sections <folder>  adds the hotspots ("HSPT": a link to the second sample and a
//                                   swing command; a link back) and the details ("NOTE")
// Exits with 1 and a message when a file cannot be made or read; an existing file is replaced
// only once its successor is completely written.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/cdib.h"
#include "data/sample_scene.h"
#include "engine/files/hotspot_section.h"
#include "engine/files/panorama_note.h"
#include "engine/files/section_archive.h"

namespace {

struct SampleSpec {
    const char* fileName;
    int height;
    SceneColours colours;
    std::vector<SampleHotspot> hotspots;
    PanoramaNote note;
};

std::filesystem::path WithExtension(const std::filesystem::path& folder, const char* fileName,
                                    const char* extension)
{
    return (folder / fileName).replace_extension(extension);
}

// The painted sphere as a 24-bit bitmap file beside the panorama's name.
bool WriteBitmap(const SampleSpec& spec, const std::filesystem::path& folder)
{
    SphereCanvas canvas(spec.height);
    PaintSphere(canvas, spec.colours);
    PaintCompass(canvas);
    for (const SampleHotspot& hotspot : spec.hotspots) PaintHotspot(canvas, hotspot);
    CDIB bitmap(canvas.Width(), canvas.Height(), 24);
    const std::vector<std::uint8_t> rows = canvas.BottomUpBgr();
    if (bitmap.IsEmpty() || bitmap.GetBits().size() != rows.size()) return false;
    std::memcpy(bitmap.GetBits().data(), rows.data(), rows.size());
    return bitmap.Save(WithExtension(folder, spec.fileName, ".bmp").string()) != 0;
}

// Adds the hotspots and the details to the panorama the compressor made.
bool AddSections(const SampleSpec& spec, const std::filesystem::path& folder)
{
    std::vector<SectionHotspot> records;
    for (const SampleHotspot& hotspot : spec.hotspots) {
        records.push_back({hotspot.heading1, hotspot.pitch1, hotspot.heading2, hotspot.pitch2,
                           hotspot.action});
    }
    const auto hotspotSection = BuildHotspotSection(records);
    if (!hotspotSection) return false;

    const std::filesystem::path panorama = folder / spec.fileName;
    SectionArchive archive;
    if (archive.Load(panorama) == 0) return false;
    const std::vector<std::uint8_t> note = BuildPanoramaNote(spec.note);
    const bool stored = archive.SetSection("HSPT", *hotspotSection) != 0 &&
                        archive.SetSection("NOTE", note) != 0;
    return stored && archive.Save(panorama) != 0;
}

}  // namespace

int main(int argc, char* argv[])
{
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
          {-35.0f, -6.0f, -55.0f, 10.0f, "#swingto(180,0,0,60,2000)", "SWING", {150, 60, 160}}},
         {{"Halvex sample generator", "Halvex", "", "", "", "", "",
           "A synthetic sphere: compass letters, bearings, a grid and marked poles",
           "LINK opens the second sample; SWING turns the view to the south", "Halvex"}}},
        {"sample2.pan",
         512,
         {{255, 200, 140}, {90, 40, 110}, {120, 100, 90}, {40, 30, 30}},
         {{45.0f, -8.0f, 25.0f, 12.0f, "sample.pan", "BACK", {180, 90, 30}}},
         {{"Halvex sample generator", "", "", "", "", "", "", "The second sample: dusk", "",
           ""}}},
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
    return 0;
}
