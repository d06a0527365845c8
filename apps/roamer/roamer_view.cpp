#include "apps/roamer/roamer_view.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <new>
#include <vector>

#include "apps/common/help_page.h"
#include "apps/roamer/freedom_limits.h"
#include "apps/roamer/linked_panorama.h"
#include "apps/roamer/panorama_details_dialog.h"
#include "apps/roamer/roamer_doc.h"
#include "apps/roamer/roamer_profile.h"
#include "engine/container/section_archive.h"
#include "engine/imaging/load_error.h"
#include "engine/viewer/action_text.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "platform/qt/qt_paths.h"
#include "platform/qt/window_host.h"

namespace {

constexpr std::uint32_t kNotifyMessage = 0;
constexpr std::int16_t kFrameRate = 0;
constexpr std::int16_t kAvatarSlots = 10;
constexpr int kInstructionsContext = 3;
const HelpPage kRoamerHelp{"roamer", "CvnRoamer.html"};
constexpr double kPreviewPanVelocity = -20.0;
constexpr const char* kOutOfMemory = "Resource Error: Insufficient System Memory";

ViewerLimits ToViewerLimits(const FreedomRanges& r) {
    return {r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7]};
}

// The details of the panorama file at `path`, when it has a readable "NOTE" section.
std::optional<PanoramaNote> ReadNote(const std::string& path) {
    SectionArchive archive;
    if (archive.Load(path) == 0)
        return std::nullopt;
    return ParsePanoramaNote(archive.GetSection(kNoteSectionName));
}

}  // namespace

CRoamerView::CRoamerView(CRoamerDoc& document, RoamerProfile& profile, QWidget* parent)
    : QWidget(parent),
      profile_(profile),
      document_(document),
      host_(new platform::QtWindowHost(this)),
      antialiasLevel_(profile.Antialias()),
      freedoms_(profile.Freedoms()),
      viewCursor_(platform::LoadCursor(platform::CursorShape::Arrow)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(host_);
    setFocusProxy(host_);
    host_->installEventFilter(this);
    platform::SetWindowUserData(host_->Handle(), this);
    platform::SetWindowProc(host_->Handle(), &CRoamerView::ViewProc);
}

CRoamerView::~CRoamerView() {
    profile_.SetAntialias(antialiasLevel_);
    profile_.SetFreedoms(freedoms_);
    engine_.DetachWindow();
    engine_.ClosePanorama(0, 0);
    platform::SetWindowUserData(host_->Handle(), nullptr);
}

platform::WindowHandle CRoamerView::ViewWindow() const {
    return host_->Handle();
}

bool CRoamerView::IsLoaded() const {
    return engine_.IsLoaded();
}

QString CRoamerView::ShownFileName() const {
    return IsLoaded() ? platform::PathText(shownPath_.filename().string()) : QString();
}

void CRoamerView::NotifyPanoramaChanged() {
    if (panoramaChanged)
        panoramaChanged();
}

std::intptr_t CRoamerView::ViewProc(platform::WindowHandle window, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam) {
    auto* view = static_cast<CRoamerView*>(platform::GetWindowUserData(window));
    // With a panorama loaded the engine chooses the cursor; without one the view shows its own.
    if (view && message == platform::WM_MOUSEMOVE && !view->IsLoaded())
        view->ShowViewCursor();
    if (view && message == platform::WM_LBUTTONDOWN)
        view->AfterHotspotClick();
    return platform::DefaultWindowProc(window, message, wParam, lParam);
}

void CRoamerView::ShowViewCursor() {
    platform::SetCursor(ViewWindow(), viewCursor_);
}

void CRoamerView::ClosePanorama() {
    engine_.DetachWindow();
    engine_.ClosePanorama(0, 0);
}

bool CRoamerView::OnInitialUpdate() {
    const std::string path = document_.path;
    if (path.empty())
        return false;
    if (IsLoaded())
        ClosePanorama();

    const platform::CursorHandle previousCursor = viewCursor_;
    viewCursor_ = platform::LoadCursor(platform::CursorShape::Wait);
    ShowViewCursor();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    note_.reset();

    // The details come from the file's "NOTE" section; the engine reads the rest itself.
    note_ = ReadNote(path);

    std::optional<std::string> failure;
    try {
        engine_.OpenPanorama(path.c_str(), ViewWindow(), kNotifyMessage, kFrameRate, kAvatarSlots);
    } catch (const LoadError& error) {
        failure = error.what();
    } catch (const std::bad_alloc&) {
        failure = kOutOfMemory;
    }
    QGuiApplication::restoreOverrideCursor();
    viewCursor_ = previousCursor;
    ShowViewCursor();
    document_.path.clear();

    if (failure) {
        platform::MessageBox(ViewWindow(), *failure, "Roamer",
                             platform::MB_OK | platform::MB_ICONWARNING);
        engine_.ClosePanorama(0, 0);
        host_->ClearPicture();
        note_.reset();
        shownPath_.clear();
        NotifyPanoramaChanged();
        return false;
    }
    shownPath_ = path;

    engine_.SetCursors(platform::LoadCursor(platform::CursorShape::SizeAll),
                       platform::LoadCursor(platform::CursorShape::Arrow),
                       platform::LoadCursor(platform::CursorShape::UpArrow));
    const ViewerLimits limits = ToViewerLimits(FreedomLimits(freedoms_));
    engine_.SetOption(ViewerOption::kLimits, &limits);
    engine_.SetOption(ViewerOption::kAntialias, std::intptr_t{antialiasLevel_});
    // The title names the panorama before its first frame is shown.
    NotifyPanoramaChanged();
    engine_.AttachWindow();
    host_->setFocus(Qt::OtherFocusReason);
    return true;
}

bool CRoamerView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != host_ || event->type() != QEvent::MouseButtonPress || !IsLoaded())
        return QWidget::eventFilter(watched, event);
    const auto* press = static_cast<const QMouseEvent*>(event);
    if (press->button() != Qt::LeftButton)
        return QWidget::eventFilter(watched, event);
    // The engine hit-tests the same clamped point when the press reaches it.
    const QPoint point = press->position().toPoint();
    const int x = std::clamp(point.x(), 0, std::max(0, host_->width() - 1));
    const int y = std::clamp(point.y(), 0, std::max(0, host_->height() - 1));
    std::int16_t kind = kHitNothing;
    const std::uint16_t index = engine_.HitTest(x, y, &kind);
    const Hotspot* hotspot =
        kind == kHitHotspot ? engine_.GetHotspot(static_cast<std::int16_t>(index)) : nullptr;
    if (hotspot) {
        // The text is copied unterminated when it fills the buffer: one more zero ends it.
        std::vector<char> action(kMaxActionText + 1, '\0');
        hotspot->GetTarget(action.data(), static_cast<std::int16_t>(kMaxActionText));
        std::error_code error;
        clickedLink_ = LinkedPanoramaPath(action.data(), std::filesystem::current_path(error));
    }
    return QWidget::eventFilter(watched, event);
}

void CRoamerView::AfterHotspotClick() {
    if (!clickedLink_)
        return;
    const std::filesystem::path linked = *clickedLink_;
    clickedLink_.reset();
    if (!IsLoaded()) {
        host_->ClearPicture();
        note_.reset();
        shownPath_.clear();
    } else if (!linked.empty()) {
        note_ = ReadNote(linked.string());
        shownPath_ = linked;
    } else {
        return;
    }
    NotifyPanoramaChanged();
}

void CRoamerView::OnResetPanorama() {
    if (IsLoaded())
        engine_.SendKey(platform::VK_SPACE, 1, 0);
}

void CRoamerView::OnAntialiasLevel(int level) {
    if (!IsLoaded())
        return;
    antialiasLevel_ = level;
    engine_.SetOption(ViewerOption::kAntialias, std::intptr_t{level});
    engine_.UpdateHotspotCursor();
}

void CRoamerView::OnToggleFreedom(int bit) {
    if (!IsLoaded())
        return;
    ToggleFlag(freedoms_, bit);
    const ViewerLimits limits = ToViewerLimits(FreedomLimits(freedoms_));
    engine_.SetOption(ViewerOption::kLimits, &limits);
    engine_.UpdateHotspotCursor();
}

void CRoamerView::OnInstructions() {
    ShowHelp(kRoamerHelp, kInstructionsContext, "Roamer", ViewWindow());
}

void CRoamerView::OnPanoramaDetails() {
    if (!IsLoaded() || !note_)
        return;
    CPanoramaDetailsDlg dialog(note_->fields, window());
    double pan = 0;
    double tilt = 0;
    double roll = 0;
    double fov = 0;
    dialog.previewOpened = [&](platform::WindowHandle preview) {
        engine_.DetachWindow();
        engine_.GetView(&pan, &tilt, &roll, &fov);
        engine_.RedirectWindow(preview);
        engine_.SetView(0, 0, 0, fov, 0);
        engine_.SetTiltVelocity(0, -1, 0);
        engine_.SetRollVelocity(0, -1, 0);
        engine_.SetZoomVelocity(0, -1, 0);
        engine_.SetPanVelocity(kPreviewPanVelocity, -1, 0);
        engine_.Run(-1, 1);
    };
    // Runs before the preview window goes away: the engine is pointed back at the view under
    // its lock, so no frame is handed to the preview afterwards.
    dialog.previewClosing = [&] {
        engine_.Run(0, 1);
        engine_.RedirectWindow(ViewWindow());
        engine_.SetView(pan, tilt, roll, fov, 0);
        engine_.SetPanVelocity(0, -1, 0);
        engine_.AttachWindow();
        host_->setFocus(Qt::OtherFocusReason);
    };
    dialog.exec();
}
