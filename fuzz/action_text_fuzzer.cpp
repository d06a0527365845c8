// Hotspot action texts, run by the viewer's action runner on a clicked hotspot. The launcher and
// the media service only record, so nothing is ever started or played; message boxes go to the
// headless backend. Each input is the action text of the one hotspot of a small panorama loaded
// afresh (without a window, so no render thread), and every recorder is cleared after it.

#include <memory>
#include <string>

#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/seed_builders.h"
#include "platform/headless/headless_backend.h"
#include "platform/media/recording_media_service.h"
#include "platform/program_launcher.h"

namespace {

struct Recorders {
    platform::HeadlessBackend backend;
    std::shared_ptr<platform::RecordingLauncher> launcher =
        std::make_shared<platform::RecordingLauncher>();
    std::shared_ptr<platform::RecordingMediaService> media =
        std::make_shared<platform::RecordingMediaService>();

    Recorders() {
        platform::InstallProgramLauncher(launcher);
        platform::InstallMediaService(media);
    }
    void Clear() {
        backend.ClearMessageBoxes();
        launcher->ClearLog();
        media->ClearLog();
    }
};

Recorders& TheRecorders() {
    static Recorders recorders;
    return recorders;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    Recorders& recorders = TheRecorders();
    const std::string action(reinterpret_cast<const char*>(data), size);
    const fuzz::Bytes panorama = fuzz::Container(
        {{"BTMP", fuzz::RampBitmap(16, 8, 24)}, {"HSPT", fuzz::HotspotBytes({action})}});
    {
        ViewerEngine engine;
        try {
            engine.Load(panorama.data(), panorama.size(), platform::kNoWindow, 0, 0, 2);
            engine.RunHotspotAction(0);
        } catch (const LoadError&) {
        }
    }
    recorders.Clear();
    fuzz::ReturnHome();
    return 0;
}
