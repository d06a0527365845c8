// A whole panorama (or bare bitmap or JPEG file) loaded by the viewer into a headless window,
// one frame stepped without the render thread's pacing (the thread stays paused), then closed.
// Embedded files are extracted under the target's private temporary folder and removed again.

#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "fuzz/fuzz_support.h"
#include "platform/headless/headless_backend.h"

namespace {

struct Display {
    platform::HeadlessBackend backend;
    platform::WindowHandle window = backend.CreateWindow({96, 64});
};

Display& TheDisplay() {
    static Display display;
    return display;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    Display& display = TheDisplay();
    {
        ViewerEngine engine;
        try {
            engine.Load(data, size, display.window, 0, 0, 2);
            engine.RenderFrame();
        } catch (const LoadError&) {
        }
    }
    display.backend.ClearMessageBoxes();
    display.backend.ClearLog(display.window);
    display.backend.Pump();
    fuzz::ReturnHome();
    return 0;
}
