#include <algorithm>

#include "engine/viewer/viewer_engine.h"

std::array<SubclassEntry, kSubclassTableSize> SubclassTable{};

namespace {

SubclassEntry* FindEntry(platform::WindowHandle window) {
    auto it = std::find_if(SubclassTable.begin(), SubclassTable.end(),
                           [window](const SubclassEntry& e) { return e.window == window; });
    return it == SubclassTable.end() ? nullptr : &*it;
}

}  // namespace

int ViewerEngine::AttachWindow() {
    if (!IsLoaded() || window == platform::kNoWindow)
        return 0;
    Run(2, 2);
    if (FindEntry(window))
        return 0;
    SubclassEntry* free = FindEntry(platform::kNoWindow);
    if (!free)
        return 0;
    // The table entry is made before the procedure is installed, so that a window never
    // carries the engine's procedure without an entry, and a refused attach leaves the
    // window's chain untouched.
    platform::WindowProc previous = platform::SetWindowProc(window, &ViewerWindowProc);
    if (!previous)
        return 0;
    *free = SubclassEntry{window, this, previous};
    return 1;
}

int UnsubclassViewerWindow(platform::WindowHandle window) {
    if (window == platform::kNoWindow)
        return kSubclassTableSize;
    SubclassEntry* entry = FindEntry(window);
    if (!entry)
        return kSubclassTableSize;
    if (entry->previous)
        platform::SetWindowProc(window, entry->previous);
    *entry = SubclassEntry{};
    return 0;
}

void UnsubclassEngineWindows(const ViewerEngine* engine) {
    for (SubclassEntry& entry : SubclassTable) {
        if (entry.engine != engine || entry.window == platform::kNoWindow)
            continue;
        if (entry.previous)
            platform::SetWindowProc(entry.window, entry.previous);
        entry = SubclassEntry{};
    }
}

int ViewerEngine::DetachWindow() {
    if (!IsLoaded() || window == platform::kNoWindow)
        return 0;
    UnsubclassViewerWindow(window);
    animating = 0;
    Run(0, 1);
    SetPanVelocity(0, -1, 0);
    SetTiltVelocity(0, -1, 0);
    SetRollVelocity(0, -1, 0);
    SetZoomVelocity(0, -1, 0);
    Run(2, 2);
    platform::ClipCursor(nullptr);
    return 1;
}

std::intptr_t ViewerWindowProc(platform::WindowHandle window, std::uint32_t message,
                               std::uintptr_t wParam, std::intptr_t lParam) {
    SubclassEntry* entry = FindEntry(window);
    if (!entry) {
        // Not bound (any more): pass on to whatever the window has now, never to an engine.
        platform::WindowProc current = platform::GetWindowProc(window);
        if (current == &ViewerWindowProc)
            return 0;
        return platform::CallWindowProc(current, window, message, wParam, lParam);
    }
    ViewerEngine* engine = entry->engine;
    const platform::WindowProc previous = entry->previous;
    const bool editor = engine->Build() == EngineBuild::Editor;
    switch (message) {
        case platform::WM_MOVE:
        case platform::WM_SIZE:
            if (!editor && engine->playingMedia >= 0)
                engine->media.Stop();
            engine->UpdateHotspotCursor();
            break;
        case platform::WM_PAINT:
            engine->UpdateHotspotCursor();
            break;
        case platform::WM_KEYDOWN:
            engine->OnKeyDown(static_cast<int>(wParam), static_cast<std::uint32_t>(lParam));
            break;
        case platform::WM_KEYUP:
            engine->OnKeyUp(static_cast<int>(wParam), static_cast<std::uint32_t>(lParam));
            break;
        case platform::WM_MOUSEMOVE:
            engine->OnMouseMove(platform::LowWord(lParam), platform::HighWord(lParam),
                                static_cast<std::uint32_t>(wParam));
            break;
        case platform::WM_LBUTTONDOWN:
            engine->OnLButtonDown(platform::LowWord(lParam), platform::HighWord(lParam),
                                  static_cast<std::uint32_t>(wParam));
            break;
        case platform::WM_LBUTTONUP:
            engine->OnLButtonUp(platform::LowWord(lParam), platform::HighWord(lParam),
                                static_cast<std::uint32_t>(wParam));
            break;
        case platform::MM_MCINOTIFY:
            if (!editor) {
                engine->media.Close();
                engine->media.Stop();
                engine->playingMedia = -1;
            }
            break;
        default:
            break;
    }
    return platform::CallWindowProc(previous, window, message, wParam, lParam);
}
