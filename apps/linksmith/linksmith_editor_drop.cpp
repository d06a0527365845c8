// Files dropped on the hotspot editor's window.

#include "apps/linksmith/linksmith_editor.h"

void LinksmithEditor::OnDropFiles(const std::vector<std::string>& paths, platform::Point at) {
    state_.currentIndex = HitTestHotspots(at.x, at.y);
    if (state_.currentIndex >= 0) {
        state_.currentCopy = state_.hotspots[static_cast<std::size_t>(state_.currentIndex)];
        RunDefineHotspotDialog(paths);
        return;
    }
    if (paths.size() != 1)
        return;
    if (!PromptToSave())
        return;
    StopFrameMedia();
    state_.modified = false;
    frame_.Invalidate(false);
    if (viewer_ && !state_.panoramaPath.empty()) {
        ClosePanorama();
        frame_.Invalidate(true);
        frame_.UpdateNow();
    }
    OpenPanoramaForEditing(paths.front());
    state_.currentIndex = kNoSelection;
    frame_.Invalidate(true);
    frame_.UpdateNow();
    DrawHotspotRects();
}
