// A panorama file opened in Linksmith's editor (headless, without a window) and saved, without an
// edit, onto the same file, then opened again in the viewer engine: everything the viewer shows
// of the file must be as it was before the save (the view, its limits, the hotspots, the
// embedded files, the details, the picture). The input is the file.

#include <QApplication>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "apps/linksmith/frame_window.h"
#include "apps/linksmith/linksmith_editor.h"
#include "engine/container/panorama_note.h"
#include "engine/container/section_archive.h"
#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "fuzz/fuzz_support.h"
#include "platform/headless/headless_backend.h"
#include "tests/engine/viewer/engine_test_access.h"

namespace {

namespace fs = std::filesystem;

// The editor's window: none, so that its engine runs no render thread (binding a window waits
// for paced frames, which would cost most of each run); every dialog is cancelled.
class QuietFrame : public FrameWindow {
  public:
    platform::WindowHandle Handle() const override { return platform::kNoWindow; }
    void Invalidate(bool) override {}
    void UpdateNow() override {}
    void UpdateCommandStates() override {}
    bool EditHotspotText(std::string&) override { return false; }
    bool EditDimensions(int&, int&) override { return false; }
    bool EditEmbeddedFiles(EmbeddedFileList&) override { return false; }
    bool EditPanoramaDetails(PanoramaNote&) override { return false; }
    void ShowContextMenu(ContextPopup, platform::Point) override {}
    void ShowHelp(int) override {}
    platform::WindowHandle CreateChildWindow() override { return platform::kNoWindow; }
    void DestroyChildWindow(platform::WindowHandle) override {}
};

struct Setting {
    platform::HeadlessBackend backend;
    QuietFrame frame;
    LinksmithEditor editor{frame};
};

Setting& TheSetting() {
    static Setting* setting = [] {
        fuzz::PrepareProcess();
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "linksmith_roundtrip_fuzzer";
        static char* argv[] = {name, nullptr};
        // Kept for the life of the process, as Qt cannot be torn down from static destructors.
        new QApplication(argc, argv);
        return new Setting;
    }();
    return *setting;
}

// Equal, or both not a number.
bool Same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

// What the viewer shows of a panorama file.
struct Shown {
    double view[4] = {};
    std::vector<double> limits;
    platform::BitmapInfoHeader header;
    std::vector<std::uint8_t> picture;
    std::vector<HotspotSlot> hotspots;
    std::map<std::string, std::string> files;
    std::optional<PanoramaNote> note;
};

// The first property that differs between two showings, or null when none does.
const char* Difference(const Shown& a, const Shown& b) {
    for (int i = 0; i < 4; ++i) {
        if (!Same(a.view[i], b.view[i]))
            return "view";
    }
    if (a.limits.size() != b.limits.size())
        return "limits";
    for (std::size_t i = 0; i < a.limits.size(); ++i) {
        if (!Same(a.limits[i], b.limits[i]))
            return "limits";
    }
    if (a.hotspots.size() != b.hotspots.size())
        return "hotspot count";
    for (std::size_t i = 0; i < a.hotspots.size(); ++i) {
        const HotspotSlot& x = a.hotspots[i];
        const HotspotSlot& y = b.hotspots[i];
        for (int axis = 0; axis < 3; ++axis) {
            if (!Same(x.centre[axis], y.centre[axis]) || !Same(x.size[axis], y.size[axis]))
                return "hotspot box";
        }
        if (x.target != y.target || x.active != y.active)
            return "hotspot action";
    }
    if (a.header.biWidth != b.header.biWidth || a.header.biHeight != b.header.biHeight ||
        a.header.biBitCount != b.header.biBitCount || a.picture != b.picture)
        return "picture";
    if (a.files != b.files)
        return "embedded files";
    if (a.note != b.note)
        return "note";
    return nullptr;
}

std::map<std::string, std::string> FilesIn(const std::string& folder) {
    std::map<std::string, std::string> files;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

// The file at `path` as the viewer shows it; nothing when the viewer refuses it.
std::optional<Shown> ShownBy(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    Shown shown;
    ViewerEngine engine;
    try {
        engine.Load(bytes.data(), bytes.size(), platform::kNoWindow, 0, 0, 1);
    } catch (const LoadError&) {
        return std::nullopt;
    }
    engine.GetView(&shown.view[0], &shown.view[1], &shown.view[2], &shown.view[3]);
    {
        const ViewStateGuard state = ViewerEngineTestAccess::State(engine);
        shown.limits = {
            state->panMin,      state->panMax,      state->homePan,      state->tiltMin,
            state->tiltMax,     state->homeTilt,    state->rollMin,      state->rollMax,
            state->homeRoll,    state->fovMin,      state->fovMax,       state->homeFov,
            state->fixedPanMin, state->fixedPanMax, state->fixedTiltMin, state->fixedTiltMax};
        shown.header = state->image.Header();
        const std::span<const std::uint8_t> block = state->image.Bytes();
        shown.picture.assign(block.begin(), block.end());
    }
    for (std::int16_t i = 0; Hotspot* hotspot = engine.GetHotspot(i); ++i)
        shown.hotspots.push_back(hotspot->Snapshot());
    shown.files = FilesIn(engine.TempExtractDirectory());
    SectionArchive archive;
    if (archive.Load(path) != 0)
        shown.note = ParsePanoramaNote(archive.GetSection(kNoteSectionName));
    return shown;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Setting& setting = TheSetting();
    const std::string path = fuzz::PrepareProcess() + "/edited.pan";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const std::optional<Shown> before = ShownBy(path);
    fuzz::ReturnHome();
    if (before) {
        setting.editor.OpenPanoramaForEditing(path);
        const bool saved = setting.editor.HasPanorama() && setting.editor.SavePanorama(path) == 1;
        setting.editor.ClosePanorama();
        fuzz::ReturnHome();
        if (saved) {
            const std::optional<Shown> after = ShownBy(path);
            const char* changed = after ? Difference(*before, *after) : "the viewer refuses it";
            if (changed != nullptr) {
                std::fprintf(stderr, "linksmith_roundtrip: after the save, %s changed\n", changed);
                std::abort();
            }
        }
    }
    setting.backend.ClearMessageBoxes();
    fuzz::ReturnHome();
    return 0;
}
