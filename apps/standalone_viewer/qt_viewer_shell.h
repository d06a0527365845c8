#pragma once
// The stand-alone viewer window on a display: a top-level Qt widget holding the platform
// window host over a one-part status bar, a QMenu for the right-click menu, and the help page
// handed to the desktop's opener through the suite's help helper (apps/common/help_page.h),
// which hears whether anything opened it. User-interface thread only; needs a QApplication and
// an installed QtBackend.

#include <QPointer>
#include <QWidget>

#include "apps/standalone_viewer/viewer_window_shell.h"

class QStatusBar;

namespace platform {
class QtWindowHost;
}

class QtViewerShell : public ViewerWindowShell {
  public:
    QtViewerShell() = default;
    ~QtViewerShell() override;

    platform::WindowHandle Create(const std::string& title, platform::Size size) override;
    bool Destroy() override;
    void Show(const std::string& statusText, platform::Point topLeft) override;
    int TrackPopupMenu(platform::Point screenPoint, bool helpEnabled, bool aboutEnabled) override;
    bool OpenHelp(const std::string& page, int context) override;
    void SetIcon(const std::string& name) override;

    // The top-level widget while the window exists (tests, screenshots).
    QWidget* Widget() const;

  private:
    class Frame;

    QPointer<Frame> frame_;
};
