// Hotspot action texts, run by the viewer's action runner. The launcher and the media service
// only record, so nothing is ever started or played; message boxes go to the headless backend.
// A text whose commands all run without a panorama (programs, documents, sounds, panoramas,
// swings) runs on an engine with none loaded, which keeps most inputs quick; a text with a
// video or an avatar, which take their place from the hotspot, is the action of the one hotspot
// of a small panorama loaded afresh (without a window, so no render thread). Every recorder is
// cleared after each input.

#include <memory>
#include <string>

#include "engine/imaging/load_error.h"
#include "engine/viewer/action_text.h"
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

bool NeedsAHotspot(const std::string& action) {
    for (const ActionCommand& command : ParseActionText(action)) {
        if (command.kind == ActionKind::kVideo || command.kind == ActionKind::kAvatar)
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    Recorders& recorders = TheRecorders();
    const std::string action(reinterpret_cast<const char*>(data), size);
    {
        ViewerEngine engine;
        try {
            if (NeedsAHotspot(action)) {
                const fuzz::Bytes panorama = fuzz::Container(
                    {{"BTMP", fuzz::RampBitmap(16, 8, 24)}, {"HSPT", fuzz::HotspotBytes({action})}});
                engine.Load(panorama.data(), panorama.size(), platform::kNoWindow, 0, 0, 2);
                engine.RunHotspotAction(0);
            } else {
                engine.RunActionText(action, -1);
            }
        } catch (const LoadError&) {
        }
    }
    recorders.Clear();
    fuzz::ReturnHome();
    return 0;
}
