#include "engine/viewer/viewer_engine.h"

int ViewerEngine::RedirectWindow(platform::WindowHandle newWindow) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    if (window == platform::kNoWindow || newWindow == platform::kNoWindow)
        return kEngineRefused;
    const ViewStateGuard state = LockState();
    window = newWindow;
    state->window = newWindow;
    state->frameValid = 0;
    return kEngineDone;
}
