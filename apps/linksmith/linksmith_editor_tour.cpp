// The hotspot editor's Test Hotspot command and its tour of all hotspots.

#include "apps/linksmith/hotspot_action_runner.h"
#include "apps/linksmith/linksmith_editor.h"
#include "platform/frame_wait.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "platform/messages.h"

namespace {

// The pauses at each hotspot of a tour, and the short settling pauses around stopping its
// media.
constexpr int kTourPauses = 3;
constexpr std::uint32_t kSettleMs = 100;

}  // namespace

int LinksmithEditor::RunHotspotAction(const HotspotRecord& record) {
    if (!viewer_)
        return 1;
    HotspotActionRunner runner(frame_, *viewer_, mediaPlayer_, state_.panoramaFolder);
    return runner.Run(record);
}

void LinksmithEditor::OnTestHotspot() {
    if (state_.currentIndex < 0 || state_.currentIndex >= static_cast<int>(state_.hotspots.size()))
        return;
    state_.currentCopy = state_.hotspots[static_cast<std::size_t>(state_.currentIndex)];
    RunHotspotAction(state_.currentCopy);
}

void LinksmithEditor::OnTourAllHotspots() {
    if (!viewer_ || state_.hotspots.empty())
        return;
    const platform::WindowHandle window = frame_.Handle();
    platform::MessageBox(window, "Press the ESCAPE Key at any time to terminate Tour",
                         kLinksmithCaption, platform::MB_OK);
    platform::SetCursor(window, platform::LoadCursor(platform::CursorShape::Wait));
    state_.currentIndex = kNoSelection;
    bool escaped = false;
    do {
        platform::SendMessage(window, platform::WM_KEYDOWN, platform::VK_TAB, 0);
        // The key may have closed the panorama through a handler; nothing more to visit then.
        if (!viewer_)
            break;
        viewer_->Run(-1, 1);
        OnTestHotspot();
        for (int pause = 0; pause < kTourPauses && !escaped; ++pause)
            escaped = platform::WaitWatchingForKey(tourPauseMs_, platform::VK_ESCAPE);
        if (!escaped)
            escaped = platform::WaitWatchingForKey(kSettleMs, platform::VK_ESCAPE);
        mediaPlayer_.Stop();
        if (!escaped)
            escaped = platform::WaitWatchingForKey(kSettleMs, platform::VK_ESCAPE);
    } while (!escaped && viewer_ &&
             state_.currentIndex < static_cast<int>(state_.hotspots.size()) - 1);
    platform::SendMessage(window, platform::WM_KEYDOWN, platform::VK_ESCAPE, 0);
    if (!escaped)
        platform::SendMessage(window, platform::WM_KEYDOWN, platform::VK_TAB, 0);
    platform::SetCursor(window, platform::LoadCursor(platform::CursorShape::Arrow));
    if (viewer_)
        viewer_->Run(0, 1);
    frame_.Invalidate(false);
    // The repaint asked for above may merge with the repaint of the last frame, which draws
    // no rectangles: they are drawn here, over a finished frame.
    DrawHotspotRects();
}
