// The hotspot editor's mouse and key handling and its edit commands.

#include <algorithm>
#include <utility>

#include "apps/linksmith/hotspot_projection.h"
#include "apps/linksmith/hotspot_swing.h"
#include "apps/linksmith/linksmith_editor.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "platform/messages.h"

namespace {

// The help context of the editor's instructions.
constexpr int kInstructionsHelpContext = 2;

}  // namespace

void LinksmithEditor::ClearAvatars() {
    if (!viewer_)
        return;
    if (Avatar* avatar = viewer_->GetAvatar(0)) {
        avatar->Unload();
        viewer_->StopAvatarAnimation();
    }
}

void LinksmithEditor::OnRButtonDown(int x, int y) {
    if (!viewer_)
        return;
    StopFrameMedia();
    viewer_->Run(1, 1);
    ClearAvatars();
    state_.currentIndex = kDrawingHotspot;
    state_.currentCopy.description.clear();
    state_.currentCopy.left = state_.currentCopy.right = x;
    state_.currentCopy.top = state_.currentCopy.bottom = y;
    // The band stays inside the view while the button is held.
    const platform::WindowHandle window = frame_.Handle();
    platform::Rect client;
    platform::GetClientRect(window, &client);
    const platform::Point origin = platform::ClientToScreen(window, {client.left, client.top});
    const platform::Rect screen{origin.x, origin.y, origin.x + client.Width(),
                                origin.y + client.Height()};
    platform::ClipCursor(&screen);
}

void LinksmithEditor::OnMouseMove(int x, int y, std::uint32_t keyFlags) {
    if (!viewer_) {
        platform::SetCursor(frame_.Handle(), platform::LoadCursor(platform::CursorShape::Arrow));
        return;
    }
    if (state_.currentIndex == kNoSelection || (keyFlags & platform::MK_RBUTTON) == 0)
        return;
    state_.currentCopy.right = x;
    state_.currentCopy.bottom = y;
    if (!viewer_->IsAnimating())
        DrawHotspotRects();
}

void LinksmithEditor::OnRButtonUp(int x, int y) {
    if (viewer_) {
        platform::ClipCursor(nullptr);
        if (state_.currentIndex == kNoSelection)
            return;
        HotspotRecord& band = state_.currentCopy;
        band.right = x;
        band.bottom = y;
        if (state_.currentIndex == kDrawingHotspot && band.left != x && band.top != y) {
            // The file counts its hotspots in one byte: a hotspot beyond that is refused
            // before the user types its action.
            if (state_.hotspots.size() >= kMaxHotspots) {
                state_.currentIndex = kNoSelection;
                frame_.Invalidate(false);
                platform::MessageBox(frame_.Handle(), kTooManyHotspotsText, kLinksmithCaption,
                                     platform::MB_OK);
                return;
            }
            if (band.right < band.left)
                std::swap(band.left, band.right);
            if (band.bottom < band.top)
                std::swap(band.top, band.bottom);
            platform::Rect client;
            platform::GetClientRect(frame_.Handle(), &client);
            const std::optional<ProjectionView> view =
                CurrentProjection(*viewer_, {client.Width(), client.Height()});
            const Renderer::Orientation reference{};
            if (view &&
                renderer_.XYtoHP(view->environment, view->viewer, reference, view->width,
                                 view->height, band.left, view->height - band.top, band.heading1,
                                 band.pitch1) == 1 &&
                renderer_.XYtoHP(view->environment, view->viewer, reference, view->width,
                                 view->height, band.right, view->height - band.bottom,
                                 band.heading2, band.pitch2) == 1) {
                if (const std::optional<int> index = AddHotspot(band))
                    state_.currentIndex = *index;
            }
            if (!RunDefineHotspotDialog())
                platform::PostMessage(frame_.Handle(), platform::WM_KEYDOWN, platform::VK_DELETE,
                                      0);
            return;
        }
        StopFrameMedia();
        ClearAvatars();
        state_.currentIndex = HitTestHotspots(x, y);
        if (state_.currentIndex >= 0)
            state_.currentCopy = state_.hotspots[static_cast<std::size_t>(state_.currentIndex)];
        DrawHotspotRects();
        state_.currentIndex = HitTestHotspots(x, y);
    }
    ShowContextMenu(x, y);
}

void LinksmithEditor::ShowContextMenu(int x, int y) {
    state_.currentIndex = HitTestHotspots(x, y);
    ContextPopup popup = ContextPopup::File;
    if (state_.currentIndex >= 0) {
        state_.currentCopy = state_.hotspots[static_cast<std::size_t>(state_.currentIndex)];
        popup = ContextPopup::Edit;
    }
    lastPopup_ = popup;
    frame_.UpdateCommandStates();
    frame_.ShowContextMenu(popup, platform::ClientToScreen(frame_.Handle(), {x, y}));
    frame_.Invalidate(false);
}

void LinksmithEditor::OnLButtonDown() {
    StopFrameMedia();
    if (!viewer_)
        return;
    ClearAvatars();
    viewer_->SetCursors(platform::LoadCursor(platform::CursorShape::SizeAll), nullptr, nullptr);
}

void LinksmithEditor::OnLButtonUp() {
    if (!viewer_)
        return;
    viewer_->SetCursors(platform::LoadCursor(platform::CursorShape::Arrow), nullptr, nullptr);
    frame_.Invalidate(false);
}

void LinksmithEditor::OnKeyDown(int virtualKey) {
    if (virtualKey == platform::VK_F1) {
        frame_.ShowHelp(kInstructionsHelpContext);
        return;
    }
    if (!viewer_)
        return;
    StopFrameMedia();
    ClearAvatars();
    switch (virtualKey) {
        case platform::VK_TAB: {
            if (state_.hotspots.empty())
                return;
            const int last = static_cast<int>(state_.hotspots.size()) - 1;
            state_.currentIndex = state_.currentIndex < 0 || state_.currentIndex + 1 > last
                                      ? 0
                                      : state_.currentIndex + 1;
            SwingToHotspot(state_.hotspots[static_cast<std::size_t>(state_.currentIndex)]);
            frame_.Invalidate(false);
            return;
        }
        case platform::VK_ESCAPE:
            viewer_->Run(1, 1);
            frame_.Invalidate(false);
            return;
        case platform::VK_DELETE:
            if (state_.currentIndex == kNoSelection)
                return;
            if (state_.currentIndex >= 0 &&
                state_.currentIndex < static_cast<int>(state_.hotspots.size())) {
                state_.hotspots.erase(state_.hotspots.begin() + state_.currentIndex);
            }
            state_.currentIndex = kNoSelection;
            state_.modified = true;
            frame_.Invalidate(false);
            return;
        default:
            return;
    }
}

void LinksmithEditor::SwingToHotspot(const HotspotRecord& record) {
    const SwingTarget target = HotspotCentre(record);
    double pan = 0, tilt = 0, roll = 0, fov = 0;
    if (viewer_->GetView(&pan, &tilt, &roll, &fov) != kEngineDone ||
        !NeedsSwing(target, pan, tilt)) {
        return;
    }
    std::int16_t rate = 0;
    viewer_->GetFrameRate(&rate);
    viewer_->SetFrameRate(static_cast<std::int16_t>(rate / 2));
    // One frame; this also ends the endless frames a hotspot test or a tour step left running,
    // which would otherwise make the waiting run below return at once and the view stand still.
    viewer_->Run(0, 1);
    std::int16_t swingRate = 0;
    viewer_->GetFrameRate(&swingRate);
    // The whole difference, the short way round, in one second.
    viewer_->SetPanVelocity(WrapDegrees180(target.heading - pan), swingRate, 0);
    viewer_->SetTiltVelocity(WrapDegrees180(target.pitch - tilt), swingRate, 0);
    viewer_->Run(swingRate, 2);
    viewer_->SetPanVelocity(0, -1, 0);
    viewer_->SetTiltVelocity(0, -1, 0);
    viewer_->SetFrameRate(static_cast<std::int16_t>(-rate));
}

void LinksmithEditor::OnKeyUp(int virtualKey) {
    if (virtualKey == platform::VK_SPACE ||
        (virtualKey >= platform::VK_LEFT && virtualKey <= platform::VK_DOWN)) {
        frame_.Invalidate(false);
    }
}

void LinksmithEditor::OnResetPanorama() {
    if (!viewer_)
        return;
    platform::SendMessage(frame_.Handle(), platform::WM_KEYDOWN, platform::VK_ESCAPE, 0);
    viewer_->SendKey(platform::VK_SPACE, 1, 0);
    state_.currentIndex = kNoSelection;
    frame_.Invalidate(false);
}

void LinksmithEditor::OnEditHotspotDescription() {
    if (state_.currentIndex < 0 || state_.currentIndex >= static_cast<int>(state_.hotspots.size()))
        return;
    state_.currentCopy = state_.hotspots[static_cast<std::size_t>(state_.currentIndex)];
    RunDefineHotspotDialog();
}

void LinksmithEditor::OnDeleteHotspot() {
    platform::PostMessage(frame_.Handle(), platform::WM_KEYDOWN, platform::VK_DELETE, 0);
}

bool LinksmithEditor::RunDefineHotspotDialog(std::span<const std::string> paths) {
    const std::string stored = state_.currentCopy.description;
    const std::string given = AppendCommands(stored, paths);
    const std::string shown = ToDialogLines(given);
    std::string text = shown;
    if (!frame_.EditHotspotText(text))
        return false;
    // A text left as it was stored keeps its bytes, its joints included.
    state_.currentCopy.description = text == shown && given == stored ? stored : ToStoredText(text);
    // A band whose corners could not be converted was never added: the list stays as it is.
    if (state_.currentIndex >= 0 && state_.currentIndex < static_cast<int>(state_.hotspots.size()))
        state_.hotspots[static_cast<std::size_t>(state_.currentIndex)] = state_.currentCopy;
    else
        state_.currentIndex = kNoSelection;
    state_.modified = true;
    frame_.Invalidate(false);
    return true;
}
