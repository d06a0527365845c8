#pragma once
// Windows, their message handlers and their messages.
//
// A window is a handle into a process-wide table. Each window has a handler chain in place
// of a window procedure: `SetWindowProc` installs a new procedure and returns the previous
// one; the new procedure sees every message first and passes it on with `CallWindowProc`
// (or swallows it). Putting the previous procedure back restores the chain as it was.
//
// Threads: a window belongs to the user-interface thread that pumps its backend's queue.
// Message procedures run only there. `PostMessage`, `GetClientRect`, `GetWindowSurface` and
// `IsWindow` may be called from any thread (the render thread posts its notification and
// reads the client size); every other function here is for the user-interface thread.

#include <cstdint>
#include <memory>

#include "platform/geometry.h"
#include "platform/messages.h"

namespace platform {

class Surface;

// Opaque window identifier; 0 is no window. Handles are never reused within a process.
using WindowHandle = std::uintptr_t;
inline constexpr WindowHandle kNoWindow = 0;

struct Message {
    WindowHandle window = kNoWindow;
    std::uint32_t id = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// A message procedure. Its result is the message's result (`SendMessage` returns it).
using WindowProc = std::intptr_t (*)(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam);

// The end of every chain: handles nothing, returns 0.
std::intptr_t DefaultWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam);

// --- For backends: creating and describing windows -------------------------------------------

// Makes a window record with `baseProc` (null: DefaultWindowProc) as its only procedure, a
// client area of `clientSize` at `screenOrigin`, and an empty surface. Never fails.
WindowHandle CreateWindowRecord(Size clientSize, Point screenOrigin, WindowProc baseProc = nullptr);
// Forgets the window: later messages to it are dropped, lookups fail. Does not send
// WM_DESTROY (the backend sends it before calling this). Unknown handles are ignored.
void DestroyWindowRecord(WindowHandle window);
// Records a new client size and screen position of the client area's top-left corner.
// Backends call it before they send WM_SIZE or WM_MOVE.
void SetWindowGeometry(WindowHandle window, Size clientSize, Point screenOrigin);

// --- The handler chain -------------------------------------------------------------------------

// Installs `proc` as the window's procedure and returns the previous one; null (and nothing
// changed) for an unknown window or a null `proc`.
WindowProc SetWindowProc(WindowHandle window, WindowProc proc);
WindowProc GetWindowProc(WindowHandle window);
// Calls `proc` (DefaultWindowProc when null) with the message.
std::intptr_t CallWindowProc(WindowProc proc, WindowHandle window, std::uint32_t message,
                             std::uintptr_t wParam, std::intptr_t lParam);
// A pointer the window's owner keeps with it (the way a procedure finds its object).
void SetWindowUserData(WindowHandle window, void* data);
void* GetWindowUserData(WindowHandle window);

// --- Messages ------------------------------------------------------------------------------

// Delivers at once to the window's current procedure and returns its result; 0 for an
// unknown window. User-interface thread.
std::intptr_t SendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam = 0,
                          std::intptr_t lParam = 0);
// Queues the message with the backend; it is delivered later on the window's thread. Any
// thread. False (nothing queued) for an unknown window or when no backend is installed.
bool PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam = 0,
                 std::intptr_t lParam = 0);
// Hands a queued message to its window's current procedure. Backends call it on the
// user-interface thread; a message for a window that no longer exists is dropped (result 0).
std::intptr_t DispatchMessage(const Message& message);

// --- Geometry --------------------------------------------------------------------------------

bool IsWindow(WindowHandle window);
// The client rectangle: (0, 0, width, height). False and an empty rectangle for an unknown
// window. Any thread.
bool GetClientRect(WindowHandle window, Rect* rect);
// Client coordinates to screen coordinates and back; the point is unchanged for an unknown
// window.
Point ClientToScreen(WindowHandle window, Point point);
Point ScreenToClient(WindowHandle window, Point point);
// The size of the screen the backend shows windows on (the headless backend: 1024 x 768
// unless a test sets another).
Size GetScreenSize();

// The window's surface, where finished frames are handed over (platform/surface.h). Null for
// an unknown window. Any thread; the surface stays valid as long as the pointer is held.
std::shared_ptr<Surface> GetWindowSurface(WindowHandle window);

}  // namespace platform
