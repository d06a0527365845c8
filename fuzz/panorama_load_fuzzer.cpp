// A whole panorama (or bare bitmap or JPEG file) loaded by the viewer into a headless window,
// one frame stepped without the render thread's pacing (the thread stays paused), then closed.
// The same bytes opened as a file must give the same verdict (the same error, or the same
// picture), as OpenFile reads only the parts of a file that the load reads.
// Embedded files are extracted under the target's private temporary folder and removed again.

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "fuzz/fuzz_support.h"
#include "platform/headless/headless_backend.h"
#include "tests/engine/viewer/engine_test_access.h"

namespace {

struct Display {
    platform::HeadlessBackend backend;
    platform::WindowHandle window = backend.CreateWindow({96, 64});
};

Display& TheDisplay() {
    static Display display;
    return display;
}

// What a load leaves that the file decides: the error's text, or the picture.
struct Verdict {
    std::string error;
    std::vector<std::uint8_t> picture;
    bool operator==(const Verdict&) const = default;
};

Verdict VerdictOf(ViewerEngine& engine, const std::function<void()>& load) {
    Verdict verdict;
    try {
        load();
    } catch (const LoadError& failure) {
        verdict.error = failure.what();
    }
    const ViewStateGuard state = Access::State(engine);
    if (state->image)
        verdict.picture.assign(state->image.Bytes().begin(), state->image.Bytes().end());
    return verdict;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::PrepareProcess() + "/panorama.pan";
    Display& display = TheDisplay();
    {
        ViewerEngine engine;
        const Verdict loaded = VerdictOf(engine, [&] {
            engine.Load(data, size, display.window, 0, 0, 2);
            engine.RenderFrame();
        });

        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        ViewerEngine fromFile;
        const Verdict opened = VerdictOf(
            fromFile, [&] { fromFile.OpenFile(path.c_str(), platform::kNoWindow, 0, 0, 2); });
        // Only a file's first bytes are sniffed before the load: those are the file's own.
        if (opened.error != "File Type Error: Unsupported File Format" && !(opened == loaded))
            std::abort();
    }
    display.backend.ClearMessageBoxes();
    display.backend.ClearLog(display.window);
    display.backend.Pump();
    fuzz::ReturnHome();
    return 0;
}
