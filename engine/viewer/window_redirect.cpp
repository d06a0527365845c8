#include "engine/viewer/state_lock.h"
#include "engine/viewer/viewer_engine.h"

int ViewerEngine::RedirectWindow(platform::WindowHandle newWindow) {
    if (!IsLoaded())
        return kEngineNotLoaded;
    if (window == platform::kNoWindow || newWindow == platform::kNoWindow)
        return kEngineRefused;
    StateLock lock(*this);
    window = newWindow;
    frameValid = 0;
    return kEngineDone;
}
