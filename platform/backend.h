#pragma once
// The seam between platform/ and a windowing backend (platform/headless, platform/qt).
//
// One backend is installed per process with `InstallBackend`; the free functions of
// window.h, input.h, message_box.h and surface.h forward to it. The window table itself
// (handles, handler chains, geometry, surfaces) lives in platform/ and is shared by every
// backend; a backend creates records with `CreateWindowRecord`, keeps their geometry current
// with `SetWindowGeometry`, and delivers queued messages with `DispatchMessage`.
//
// Which thread calls what:
// - `Post` and `FrameReady` are called from any thread (the render thread among them) and
//   must not block on the user-interface thread.
// - Everything else is called on the user-interface thread. `ShowPendingFrames` in particular
//   runs while that thread waits for the render thread (platform/frame_wait.h), and
//   `PumpHoldingInput` while it waits for another program (platform/program_wait.h).
// A real backend sends the same messages in the same order as the headless one: WM_SIZE
// then a queued WM_PAINT after a resize, WM_MOVE after a move, WM_CLOSE then (when the
// window is destroyed) WM_DESTROY, keys as WM_KEYDOWN/WM_KEYUP with virtual-key codes and
// key data, mouse messages with client coordinates in lParam and MK_* flags in wParam.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "platform/input.h"
#include "platform/window.h"

namespace platform {

class Backend {
  public:
    virtual ~Backend() = default;

    // Queues the message for delivery on the user-interface thread through DispatchMessage.
    // Any thread; never blocks for long.
    virtual void Post(const Message& message) = 0;
    // The window's surface has a new picture; repaint the window soon. Any thread.
    virtual void FrameReady(WindowHandle window) = 0;
    // Shows now every window whose surface got a picture that the window has not shown yet,
    // and does nothing else: no input and no posted message is delivered, so that a thread
    // waiting for frames sees them without any handler running meanwhile. User-interface
    // thread; a call from another thread does nothing.
    virtual void ShowPendingFrames() = 0;
    // One turn of a modal loop that blocks the user-interface thread (a tour of hotspots):
    // shows the pending frames, delivers the posted messages that wait, and keeps user input
    // from every window: the key presses that waited are returned as virtual-key codes, in
    // order, and all other input is dropped. User-interface thread; from another thread it
    // does nothing and returns nothing.
    virtual std::vector<int> PumpModal() = 0;
    // One turn of a wait for another program (platform/program_wait.h): shows the pending
    // frames, delivers the posted messages that wait and answers the window system (repaints,
    // the desktop's requests), while user input stays queued, unhandled. User-interface thread;
    // from another thread it does nothing.
    virtual void PumpHoldingInput() = 0;
    // Ends such a wait: the user input that was held is dropped, so nothing done to the
    // program's windows during the wait acts afterwards. User-interface thread; from another
    // thread it does nothing.
    virtual void DropHeldInput() = 0;

    virtual Size ScreenSize() = 0;
    virtual Point CursorPos() = 0;
    virtual void SetCursor(WindowHandle window, CursorHandle cursor) = 0;
    virtual void ClipCursor(const Rect* screenRect) = 0;
    virtual bool IsKeyHeld(int virtualKey) = 0;
    // Shows a message box and returns the answer (platform/message_box.h).
    virtual int MessageBox(WindowHandle owner, std::string_view text, std::string_view caption,
                           std::uint32_t type) = 0;
};

// Installs the process's backend (null: none). The caller keeps ownership and must keep it
// alive until it is uninstalled. Call before any window exists and uninstall after the last
// one is gone.
void InstallBackend(Backend* backend);
Backend* InstalledBackend();

}  // namespace platform
