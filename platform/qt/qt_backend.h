#pragma once
// The windowing backend of the programs, over Qt 6 Widgets. Make one on the user-interface
// thread after the QApplication, install it with platform::InstallBackend (Install() does
// both), and keep it until the last window host is gone.
//
// Posted messages become queued Qt events delivered through DispatchMessage on the
// user-interface thread; FrameReady from any thread queues a repaint of the window's host
// (one per window until it is done), and ShowPendingFrames paints those hosts at once, while
// the user-interface thread waits for frames, without running Qt's event loop;
// message boxes are QMessageBox; cursors are Qt cursor shapes. Cursor confinement is left to
// the window hosts, which keep mouse points inside the client area while a button is held.

#include <QObject>
#include <QPointer>

class QWidget;

#include <unordered_map>
#include <unordered_set>

#include "platform/backend.h"
#include "platform/guarded.h"
#include "platform/qt/qt_clipboard.h"

class QWidget;

namespace platform {

class QtWindowHost;

class QtBackend : public Backend {
  public:
    QtBackend();
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    // Installs this backend, and the desktop's clipboard, for the process; the destructor
    // uninstalls both.
    void Install();
    // The installed backend when it is a QtBackend, else null.
    static QtBackend* Installed();

    // Window hosts announce themselves here. User-interface thread.
    void RegisterHost(WindowHandle window, QtWindowHost* host);
    void UnregisterHost(WindowHandle window);
    QtWindowHost* Host(WindowHandle window) const;

    void Post(const Message& message) override;
    void FrameReady(WindowHandle window) override;
    void ShowPendingFrames() override;
    // Runs Qt's waiting events once with user input held back by an application-wide filter
    // (key presses noted, the rest dropped), then paints the new frames.
    std::vector<int> PumpModal() override;
    // Runs Qt's waiting events once without user input, which Qt keeps queued (the close box
    // among it), then paints the new frames.
    void PumpHoldingInput() override;
    // Runs Qt's waiting events once with every piece of user input dropped by the filter.
    void DropHeldInput() override;
    Size ScreenSize() override;
    Point CursorPos() override;
    void SetCursor(WindowHandle window, CursorHandle cursor) override;
    void ClipCursor(const Rect* screenRect) override;
    bool IsKeyHeld(int virtualKey) override;
    int MessageBox(WindowHandle owner, std::string_view text, std::string_view caption,
                   std::uint32_t type) override;

  private:
    class Dispatcher;

    // Takes the window's pending new frame: true when it had one not shown yet. Any thread.
    bool TakePendingFrame(WindowHandle window);

    Dispatcher* dispatcher_;
    Guarded<std::unordered_set<WindowHandle>> pendingFrames_;
    QtClipboard clipboard_;
    std::unordered_map<WindowHandle, QPointer<QtWindowHost>> hosts_;
};

// A message box owned by a Qt window that is no platform window, such as a dialog: with the Qt
// backend installed it is shown over `owner`; with another backend, or in batch mode, it goes
// as MessageBox with no owner. User-interface thread.
int MessageBoxOver(QWidget* owner, std::string_view text, std::string_view caption,
                   std::uint32_t type);

// The top-level widget that shows `window` (its host's window), or null when the installed
// backend is no QtBackend or shows no such window: what a program's dialog opens over when a
// platform window is its parent. User-interface thread.
QWidget* TopLevelWidgetOf(WindowHandle window);

}  // namespace platform
