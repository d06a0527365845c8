// Cubestitch's command line, parsed as the program parses it and run as its unattended batch:
// the faces loaded and turned by their flags, the seam, the save through the compressor. The
// input is the argument list, one argument per NUL-separated piece. Every name is taken into
// the target's private folder (by its last path component; the output's into "out/" there),
// where six small faces face0.bmp to face5.bmp lie, so nothing outside is read or written. The
// compressor is a stand-in that only counts its runs, message boxes go to recorders, nothing
// waits for a user, and the seam is 64 x 32 so that each input stays quick.

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "apps/cubestitch/batch_run.h"
#include "apps/cubestitch/seam_command_line.h"
#include "apps/cubestitch/seam_frame.h"
#include "apps/cubestitch/seam_settings.h"
#include "bitmap/cdib.h"
#include "fuzz/fuzz_support.h"
#include "platform/headless/headless_backend.h"
#include "platform/message_box.h"

namespace {

namespace fs = std::filesystem;

struct Setting {
    fs::path folder;
    platform::HeadlessBackend backend;
    cubestitch::SeamSettings settings;
    int asked = 0;
    int compressorRuns = 0;
    // One frame for every input, as its making (menus, panes) costs more than most runs; each
    // run loads its faces afresh.
    cubestitch::CSeamFrame* frame = nullptr;

    explicit Setting(const std::string& home)
        : folder(home), settings((fs::path(home) / "Cubestitch.conf").string()) {
        settings.WriteWidth(64);
        settings.WriteHeight(32);
        for (int k = 0; k < 6; ++k) {
            CDIB face(8, 8, 24);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    face.SetPixel(x, y, static_cast<std::uint8_t>(40 * k), static_cast<std::uint8_t>(x * 30),
                                  static_cast<std::uint8_t>(y * 30));
            if (face.Save((folder / ("face" + std::to_string(k) + ".bmp")).string()) == 0)
                std::abort();
        }
    }

    cubestitch::SeamFrameServices Services() {
        cubestitch::SeamFrameServices services;
        services.ask = [this](std::string_view, std::uint32_t type) {
            ++asked;
            return platform::DefaultMessageBoxAnswer(type);
        };
        services.askOpenFile = [](const QString&) { return std::optional<std::string>(); };
        services.askSavePath = [] { return std::optional<std::string>(); };
        services.runCompressor = [this](const std::vector<std::string>&) {
            ++compressorRuns;
            platform::SuiteProgramRun run;
            run.started = true;
            run.exitStatus = 0;
            return run;
        };
        services.help = [](int) { return false; };
        return services;
    }

    // A name from the command line, inside the private folder.
    std::string Confined(const std::string& name, bool output) const {
        std::string last = fs::path(name).filename().string();
        if (last.empty() || last == "." || last == "..")
            last = "unnamed";
        return ((output ? folder / "out" : folder) / last).string();
    }
};

Setting& TheSetting() {
    static Setting* setting = [] {
        const std::string& home = fuzz::PrepareProcess();
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "cubestitch_command_line_fuzzer";
        static char* argv[] = {name, nullptr};
        // Kept for the life of the process, as Qt cannot be torn down from static destructors.
        new QApplication(argc, argv);
        auto* setting = new Setting(home);
        setting->frame = new cubestitch::CSeamFrame(setting->settings, setting->Services());
        return setting;
    }();
    return *setting;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Setting& setting = TheSetting();
    const std::vector<std::string> args = fuzz::CommandLine(data, size);
    cubestitch::CSeamCommandLineInfo info;
    cubestitch::ParseSeamCommandLine(args, info);
    for (int k = 0; k <= info.m_lastSlot; ++k) {
        std::string& name = info.m_slots[static_cast<std::size_t>(k)].name;
        name = setting.Confined(name, k == cubestitch::CSeamCommandLineInfo::kOutputSlot);
    }
    fs::create_directories(setting.folder / "out");
    setting.frame->SetBatch(info.NamesAnyFile());
    const cubestitch::BatchResult result = cubestitch::RunBatch(*setting.frame, info);
    // A written panorama went through the compressor; a refused one never reached it.
    if (result == cubestitch::BatchResult::Written && setting.compressorRuns == 0)
        std::abort();
    if (result == cubestitch::BatchResult::TooManyNames && setting.compressorRuns != 0)
        std::abort();
    (void)cubestitch::ExitStatusOf(result);
    setting.asked = 0;
    setting.compressorRuns = 0;
    setting.backend.ClearMessageBoxes();
    std::error_code ignored;
    fs::remove_all(setting.folder / "out", ignored);
    fuzz::ReturnHome();
    return 0;
}
