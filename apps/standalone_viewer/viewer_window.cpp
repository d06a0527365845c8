#include "apps/standalone_viewer/viewer_window.h"

#include <algorithm>
#include <new>

#include "engine/imaging/load_error.h"
#include "platform/message_box.h"
#include "platform/messages.h"

namespace {

constexpr std::int16_t kAvatarSlots = 10;
constexpr double kHomeFov = 60.0;

std::unique_ptr<CViewerWindow>& ProgramViewerWindow() {
    static std::unique_ptr<CViewerWindow> window;
    return window;
}

}  // namespace

CViewerWindow::CViewerWindow(std::unique_ptr<ViewerWindowShell> shell)
    : shell_(shell ? std::move(shell) : MakeViewerWindowShell()),
      cursorNormal_(platform::LoadCursor(platform::CursorShape::SizeAll)),
      cursorHotspot_(platform::LoadCursor(platform::CursorShape::Arrow)),
      cursorLink_(platform::LoadCursor(platform::CursorShape::UpArrow)) {}

CViewerWindow::~CViewerWindow() {
    if (created_ && shell_)
        shell_->Destroy();
    OnDestroy();
}

void CViewerWindow::SetHelp(std::string page, int context) {
    settings_.helpPage = std::move(page);
    settings_.helpContext = context;
}

void CViewerWindow::Tell(const std::string& text) const {
    platform::MessageBox(window_, text, settings_.caption, platform::MB_OK);
}

int CViewerWindow::Destroy() {
    if (created_ && shell_ && !shell_->Destroy())
        Tell("Unable to destroy window.");
    return created_ ? 1 : 0;
}

bool CViewerWindow::LoadInto(ViewerEngine& engine, int kind, const void* data, std::size_t size) {
    std::string failure;
    try {
        if (kind == 0 && data != nullptr) {
            engine.OpenFile(static_cast<const char*>(data), window_, 0, 0, kAvatarSlots);
            return true;
        }
        if (kind == 1 && data != nullptr) {
            engine.Load(static_cast<const std::uint8_t*>(data), size, window_, 0, 0, kAvatarSlots);
            return true;
        }
    } catch (const LoadError& error) {
        failure = error.what();
    } catch (const std::bad_alloc&) {
        failure = "Resource Error: Insufficient System Memory";
    }
    if (settings_.reportLoadError && !failure.empty())
        Tell(failure);
    return false;
}

int CViewerWindow::Open(int kind, const void* data, std::size_t size) {
    if (Destroy() != 0)
        return 0;
    OnDestroy();
    if (!shell_)
        return 0;

    window_ = shell_->Create(settings_.title, settings_.size);
    if (window_ == platform::kNoWindow)
        return 0;
    created_ = true;
    if (!settings_.icon.empty())
        shell_->SetIcon(settings_.icon);
    platform::SetWindowUserData(window_, this);
    platform::SetWindowProc(window_, &CViewerWindow::WindowProc);

    auto viewer = std::make_unique<ViewerEngine>(EngineBuild::StandAlone);
    if (!LoadInto(*viewer, kind, data, size)) {
        Tell("Unable to display panorama");
        shell_->Destroy();
        OnDestroy();
        return 0;
    }
    viewer->SetCursors(cursorNormal_, cursorHotspot_, cursorLink_);
    viewer->SetView(0, 0, 0, kHomeFov, 0);
    viewer_ = std::move(viewer);
    return 1;
}

int CViewerWindow::ShowPanorama() {
    if (!created_)
        return 0;
    const platform::Size screen = platform::GetScreenSize();
    const platform::Point topLeft{std::max(0, (screen.width - settings_.size.width) / 2),
                                  std::max(0, (screen.height - settings_.size.height) / 2)};
    if (viewer_)
        viewer_->AttachWindow();
    shell_->Show("Press <space> to reset view", topLeft);
    return 1;
}

void CViewerWindow::OnDestroy() {
    if (viewer_) {
        viewer_->DetachWindow();
        viewer_->Close();
        viewer_.reset();
    }
    if (window_ != platform::kNoWindow && platform::IsWindow(window_))
        platform::SetWindowUserData(window_, nullptr);
    window_ = platform::kNoWindow;
    created_ = false;
}

void CViewerWindow::OnRightButton(std::intptr_t lParam) {
    const platform::Point at =
        platform::ClientToScreen(window_, {platform::LowWord(lParam), platform::HighWord(lParam)});
    const int command =
        shell_->TrackPopupMenu(at, !settings_.helpPage.empty(), static_cast<bool>(settings_.about));
    if (command != 0)
        OnCommand(command);
}

void CViewerWindow::OnCommand(int command) {
    switch (command) {
        case kViewerCmdAbout:
            if (settings_.about)
                settings_.about(window_);
            break;
        case kViewerCmdReset:
            if (viewer_)
                viewer_->SendKey(platform::VK_SPACE, 0, 0);
            break;
        case kViewerCmdHelp:
            if (!settings_.helpPage.empty() &&
                !shell_->OpenHelp(settings_.helpPage, settings_.helpContext))
                Tell("Unable to open help file.");
            break;
        default:
            break;
    }
}

std::intptr_t CViewerWindow::WindowProc(platform::WindowHandle window, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam) {
    auto* self = static_cast<CViewerWindow*>(platform::GetWindowUserData(window));
    if (self != nullptr && self->window_ == window) {
        switch (message) {
            case platform::WM_CLOSE:
                self->Destroy();
                return 0;
            case platform::WM_DESTROY:
                self->OnDestroy();
                break;
            case platform::WM_RBUTTONDOWN:
                if (!self->settings_.menuOnRelease)
                    self->OnRightButton(lParam);
                return 0;
            case platform::WM_RBUTTONUP:
                if (self->settings_.menuOnRelease)
                    self->OnRightButton(lParam);
                return 0;
            case platform::WM_KEYDOWN:
                if (wParam == platform::VK_F1) {
                    self->OnCommand(kViewerCmdHelp);
                    return 0;
                }
                break;
            case platform::WM_COMMAND:
                self->OnCommand(platform::LowWord(static_cast<std::intptr_t>(wParam)));
                return 0;
            default:
                break;
        }
    }
    return platform::DefaultWindowProc(window, message, wParam, lParam);
}

CViewerWindow* GetViewerWindow() {
    std::unique_ptr<CViewerWindow>& window = ProgramViewerWindow();
    if (!window)
        window = std::make_unique<CViewerWindow>();
    return window.get();
}

void DestroyViewerWindow() {
    std::unique_ptr<CViewerWindow>& window = ProgramViewerWindow();
    if (window) {
        window->Destroy();
        window.reset();
    }
}
