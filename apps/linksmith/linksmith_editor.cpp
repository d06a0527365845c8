#include "apps/linksmith/linksmith_editor.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <span>

#include "apps/linksmith/editor_sections.h"
#include "apps/linksmith/hotspot_projection.h"
#include "engine/container/section_archive.h"
#include "engine/imaging/load_error.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "platform/surface.h"

namespace {

constexpr std::uint32_t kNoNotification = 0;
constexpr std::int16_t kDefaultFrameRate = 0;
constexpr std::int16_t kAvatarSlots = 8;
// Free turning, a tilt short of the poles, no roll.
constexpr ViewerLimits kEditingLimits{-360, 360, -75, 75, 0, 0, 10, 170};
constexpr const char* kOutOfMemory = "Resource Error: Insufficient System Memory";
constexpr platform::ColorRef kSelectedColour = platform::Rgb(0, 255, 0);
constexpr platform::ColorRef kHotspotColour = platform::Rgb(255, 0, 0);

// The window rectangle of a record, its right and bottom edges included; the corners of a
// rubber band may come in any order.
platform::Rect OutlineOf(const HotspotRecord& record) {
    return platform::Rect{std::min(record.left, record.right), std::min(record.top, record.bottom),
                          std::max(record.left, record.right) + 1,
                          std::max(record.top, record.bottom) + 1};
}

platform::Size ClientSize(platform::WindowHandle window) {
    platform::Rect client;
    platform::GetClientRect(window, &client);
    return {client.Width(), client.Height()};
}

}  // namespace

LinksmithEditor::LinksmithEditor(FrameWindow& frame) : frame_(frame) {
    platform::SetWindowUserData(frame_.Handle(), this);
    previousProc_ = platform::SetWindowProc(frame_.Handle(), &LinksmithEditor::FrameProc);
}

LinksmithEditor::~LinksmithEditor() {
    mediaPlayer_.Stop();
    DestroyViewer();
    if (previousProc_)
        platform::SetWindowProc(frame_.Handle(), previousProc_);
    platform::SetWindowUserData(frame_.Handle(), nullptr);
}

std::intptr_t LinksmithEditor::FrameProc(platform::WindowHandle window, std::uint32_t message,
                                         std::uintptr_t wParam, std::intptr_t lParam) {
    auto* editor = static_cast<LinksmithEditor*>(platform::GetWindowUserData(window));
    if (!editor)
        return platform::DefaultWindowProc(window, message, wParam, lParam);
    switch (message) {
        case platform::WM_PAINT:
            editor->OnFramePaint();
            break;
        case platform::WM_SIZE:
        case platform::WM_MOVE:
            editor->OnFrameSizeOrMove();
            break;
        case platform::WM_RBUTTONDOWN:
            editor->OnRButtonDown(platform::LowWord(lParam), platform::HighWord(lParam));
            break;
        case platform::WM_RBUTTONUP:
            editor->OnRButtonUp(platform::LowWord(lParam), platform::HighWord(lParam));
            break;
        case platform::WM_MOUSEMOVE:
            editor->OnMouseMove(platform::LowWord(lParam), platform::HighWord(lParam),
                                static_cast<std::uint32_t>(wParam));
            break;
        case platform::WM_LBUTTONDOWN:
            editor->OnLButtonDown();
            break;
        case platform::WM_LBUTTONUP:
            editor->OnLButtonUp();
            break;
        case platform::WM_KEYDOWN:
            editor->OnKeyDown(static_cast<int>(wParam));
            break;
        case platform::WM_KEYUP:
            editor->OnKeyUp(static_cast<int>(wParam));
            break;
        case platform::MM_MCINOTIFY:
            // The device a tested hotspot opened has finished.
            editor->StopFrameMedia();
            return 0;
        default:
            break;
    }
    return platform::CallWindowProc(editor->previousProc_, window, message, wParam, lParam);
}

bool LinksmithEditor::IsCommandEnabled(int command) const {
    const auto matches = [command](const CommandInfo& info) { return info.id == command; };
    const CommandInfo* found = nullptr;
    for (const std::span<const CommandInfo> menu :
         {std::span<const CommandInfo>(kFileMenuCommands),
          std::span<const CommandInfo>(kEditMenuCommands),
          std::span<const CommandInfo>(kHelpMenuCommands)}) {
        const auto it = std::find_if(menu.begin(), menu.end(), matches);
        if (it != menu.end())
            found = &*it;
    }
    if (found == nullptr)
        return false;
    switch (found->rule) {
        case EnableRule::Always:
            return true;
        case EnableRule::WithPanorama:
            return HasPanorama();
        case EnableRule::WhenModified:
            return HasPanorama() && state_.modified;
        case EnableRule::WithHotspots:
            return HasPanorama() && !state_.hotspots.empty();
        case EnableRule::WithSelection:
            return HasPanorama() && state_.currentIndex >= 0;
    }
    return false;
}

void LinksmithEditor::ShowError(const std::string& text) const {
    platform::MessageBox(frame_.Handle(), text, kLinksmithCaption, platform::MB_OK);
}

void LinksmithEditor::StopFrameMedia() {
    mediaPlayer_.Stop();
}

void LinksmithEditor::DestroyViewer() {
    if (!viewer_)
        return;
    viewer_->DetachWindow();
    viewer_->ClosePanorama(0, 0);
    viewer_.reset();
}

void LinksmithEditor::ClosePanorama() {
    StopFrameMedia();
    DestroyViewer();
    state_.currentIndex = kNoSelection;
    state_.hotspots.clear();
    state_.modified = false;
    state_.panoramaPath.clear();
    state_.panoramaFolder.clear();
    state_.noteData.clear();
    state_.keepFileNote = false;
    state_.keepFileInit = false;
    state_.extractedFiles.clear();
}

void LinksmithEditor::OpenPanoramaForEditing(const std::string& path) {
    const std::string fullPath = platform::GetFullPathName(path);
    StopFrameMedia();
    if (viewer_)
        ClosePanorama();
    const platform::WindowHandle window = frame_.Handle();
    const platform::CursorHandle arrow = platform::LoadCursor(platform::CursorShape::Arrow);
    platform::SetCursor(window, platform::LoadCursor(platform::CursorShape::Wait));

    std::optional<std::string> failure;
    try {
        viewer_ = std::make_unique<ViewerEngine>(EngineBuild::Editor);
        viewer_->OpenPanorama(fullPath.c_str(), window, kNoNotification, kDefaultFrameRate,
                              kAvatarSlots);
    } catch (const LoadError& error) {
        failure = error.what();
    } catch (const std::bad_alloc&) {
        failure = kOutOfMemory;
    }
    if (failure) {
        viewer_.reset();
        state_.panoramaPath.clear();
        state_.panoramaFolder.clear();
        platform::SetCursor(window, arrow);
        ShowError("Halvex Error: " + *failure);
        return;
    }

    // The editor draws, hit-tests and runs hotspots itself: the engine's own ones stay inert.
    for (std::int16_t i = 0; Hotspot* hotspot = viewer_->GetHotspot(i); ++i)
        hotspot->SetActive(0);
    viewer_->SetOption(ViewerOption::kLimits, &kEditingLimits);
    viewer_->SetCursors(arrow, nullptr, nullptr);
    viewer_->AttachWindow();
    platform::SetCursor(window, arrow);

    state_.panoramaPath = fullPath;
    state_.panoramaFolder = platform::ParentDirectory(fullPath);
    state_.extractedFiles = platform::ListFiles(viewer_->TempExtractDirectory(), "~*.*");
    ReadSectionsOf(fullPath);
}

void LinksmithEditor::ReadSectionsOf(const std::string& path) {
    EditedSections sections;
    if (std::FILE* stream = std::fopen(path.c_str(), "rb")) {
        try {
            sections = ReadEditedSections(stream);
        } catch (const std::bad_alloc&) {
            ShowError(kOutOfMemory);
        }
        std::fclose(stream);
    }
    state_.hotspots = std::move(sections.hotspots);
    state_.initialView = sections.initialView;
    state_.keepFileInit = sections.keepFileInit;
    state_.noteData = std::move(sections.note);
    state_.keepFileNote = sections.keepFileNote;
}

int LinksmithEditor::SavePanorama(const std::string& target) {
    if (!viewer_ || state_.panoramaPath.empty())
        return 1;
    SaveContent content;
    content.initialView = state_.initialView;
    content.keepFileInit = state_.keepFileInit && state_.initialView == EditorInitialView{};
    content.hotspots = state_.hotspots;
    content.extractDirectory = viewer_->TempExtractDirectory();
    content.extractedFiles = state_.extractedFiles;
    content.note = state_.noteData;
    content.keepFileNote = state_.keepFileNote;
    SectionArchive archive;
    std::string error;
    if (!BuildSavedArchive(state_.panoramaPath, content, archive, error)) {
        ShowError(error);
        return 0;
    }
    if (archive.Save(target) == 0) {
        ShowError(kFileIoErrorText);
        return 0;
    }
    return 1;
}

bool LinksmithEditor::PromptToSave() {
    if (!state_.modified)
        return true;
    const int answer = platform::MessageBox(frame_.Handle(), "Save changes?", kLinksmithCaption,
                                            platform::MB_YESNOCANCEL);
    if (answer == platform::IDCANCEL)
        return false;
    if (answer == platform::IDYES) {
        if (SavePanorama(state_.panoramaPath) == 0)
            return false;
        state_.modified = false;
        frame_.Invalidate(false);
    }
    return true;
}

void LinksmithEditor::OnFileOpen(const std::function<std::optional<std::string>()>& choosePath) {
    if (!PromptToSave())
        return;
    StopFrameMedia();
    // "No" discards the changes: the mark goes even when no other file is chosen then.
    state_.modified = false;
    frame_.Invalidate(false);
    if (const std::optional<std::string> path = choosePath()) {
        if (viewer_ && !state_.panoramaPath.empty())
            ClosePanorama();
        OpenPanoramaForEditing(*path);
    }
    state_.currentIndex = kNoSelection;
    frame_.Invalidate(true);
    frame_.UpdateNow();
    DrawHotspotRects();
}

void LinksmithEditor::OnFileClose() {
    if (!viewer_ || state_.panoramaPath.empty())
        return;
    if (!PromptToSave())
        return;
    ClosePanorama();
    frame_.Invalidate(true);
    frame_.UpdateNow();
}

void LinksmithEditor::OnFileSave() {
    if (SavePanorama(state_.panoramaPath) == 1)
        state_.modified = false;
    frame_.Invalidate(false);
}

void LinksmithEditor::OnFileSaveAs(const std::function<std::optional<std::string>()>& choosePath) {
    if (!viewer_)
        return;
    const std::optional<std::string> path = choosePath();
    if (!path)
        return;
    if (SavePanorama(*path) == 1)
        state_.modified = false;
    frame_.Invalidate(false);
}

bool LinksmithEditor::QueryClose() {
    if (!PromptToSave())
        return false;
    StopFrameMedia();
    return true;
}

std::optional<int> LinksmithEditor::AddHotspot(const HotspotRecord& record) {
    if (!viewer_ || state_.hotspots.size() >= kMaxHotspots)
        return std::nullopt;
    state_.hotspots.push_back(record);
    state_.modified = true;
    return static_cast<int>(state_.hotspots.size()) - 1;
}

int LinksmithEditor::ProjectHotspot(HotspotRecord& record) const {
    if (!viewer_)
        return 0;
    const std::optional<ProjectionView> view =
        CurrentProjection(*viewer_, ClientSize(frame_.Handle()));
    return view ? ::ProjectHotspot(renderer_, *view, record) : 0;
}

int LinksmithEditor::HitTestHotspots(int x, int y) {
    hitDirection_ = -hitDirection_;
    if (!viewer_ || state_.hotspots.empty())
        return kNoSelection;
    const std::optional<ProjectionView> view =
        CurrentProjection(*viewer_, ClientSize(frame_.Handle()));
    if (!view)
        return kNoSelection;
    const int count = static_cast<int>(state_.hotspots.size());
    for (int step = 0; step < count; ++step) {
        const int i = hitDirection_ > 0 ? step : count - 1 - step;
        HotspotRecord copy = state_.hotspots[static_cast<std::size_t>(i)];
        if (::ProjectHotspot(renderer_, *view, copy) == 1 && copy.left <= x && x <= copy.right &&
            copy.top <= y && y <= copy.bottom) {
            return i;
        }
    }
    return kNoSelection;
}

void LinksmithEditor::DrawHotspotRects() {
    if (!viewer_ || viewer_->IsAnimating())
        return;
    // The rectangles go onto a finished frame.
    viewer_->Run(1, 1);
    viewer_->Run(2, 2);
    const platform::WindowHandle window = frame_.Handle();
    const std::optional<ProjectionView> view = CurrentProjection(*viewer_, ClientSize(window));
    if (!view)
        return;
    for (std::size_t i = 0; i < state_.hotspots.size(); ++i) {
        HotspotRecord copy = state_.hotspots[i];
        if (::ProjectHotspot(renderer_, *view, copy) == 0)
            continue;
        state_.hotspots[i] = copy;
        const bool selected = static_cast<int>(i) == state_.currentIndex;
        platform::DrawOutlineOnWindow(window, OutlineOf(copy),
                                      selected ? kSelectedColour : kHotspotColour);
    }
    if (state_.currentIndex == kDrawingHotspot)
        platform::DrawOutlineOnWindow(window, OutlineOf(state_.currentCopy), kSelectedColour);
}

void LinksmithEditor::OnFramePaint() {
    frame_.UpdateCommandStates();
    DrawHotspotRects();
}

void LinksmithEditor::OnFrameSizeOrMove() {
    StopFrameMedia();
    DrawHotspotRects();
}
