#pragma once
// The part of the stand-alone viewer window that belongs to the windowing backend: the
// top-level window whose client area is a platform window, its status line, its right-click
// menu and the help page. One shell holds at most one window at a time.
//
// User-interface thread only.

#include <memory>
#include <string>

#include "platform/geometry.h"
#include "platform/window.h"

// The commands of the right-click menu.
inline constexpr int kViewerCmdAbout = 32772;
inline constexpr int kViewerCmdReset = 32773;
inline constexpr int kViewerCmdHelp = 32774;

class ViewerWindowShell {
  public:
    virtual ~ViewerWindowShell() = default;

    // Makes the hidden window, `size` pixels with its status line, titled `title`. Returns its
    // client area's platform window, kNoWindow when it cannot be made. The window's close box
    // sends WM_CLOSE to that platform window (it is not closed by itself).
    virtual platform::WindowHandle Create(const std::string& title, platform::Size size) = 0;
    // Destroys the window (WM_DESTROY reaches the client window's procedure). False when it
    // could not be destroyed; true when there was none.
    virtual bool Destroy() = 0;
    // Shows the status line with `statusText`, puts the window's top-left corner at `topLeft`
    // on top of the others and shows it.
    virtual void Show(const std::string& statusText, platform::Point topLeft) = 0;
    // Runs the menu "&Help", "&Reset Panorama", "&About" at a screen point (Help and About
    // greyed when not enabled) and returns the chosen command, 0 for none.
    virtual int TrackPopupMenu(platform::Point screenPoint, bool helpEnabled,
                               bool aboutEnabled) = 0;
    // Opens the HTML page `page` at the anchor "context-<context>"; false when it cannot.
    virtual bool OpenHelp(const std::string& page, int context) = 0;
    // Gives the window made last the program icon `name` (apps/common/program_icon.h). A shell
    // whose windows show no icon ignores it.
    virtual void SetIcon(const std::string& name) { static_cast<void>(name); }
};

// The shell of the installed backend: Qt widgets when a QtBackend and a QApplication run,
// in-memory windows under the headless backend; null with neither.
std::unique_ptr<ViewerWindowShell> MakeViewerWindowShell();
