#pragma once
// Cursors, cursor confinement, the cursor position and the held state of modifier keys.
// User-interface thread. With no backend installed every call is a harmless no-op (an arrow
// is shown, nothing is held, the cursor is at the screen's origin).

#include <cstdint>

#include "platform/geometry.h"
#include "platform/window.h"

namespace platform {

// The system cursor shapes the programs load.
enum class CursorShape { Arrow, SizeAll, UpArrow, Wait, Cross, IBeam, Hand, No };

// A loaded cursor; null means "no cursor" (callers then leave the cursor alone). Handles
// returned by `LoadCursor` live for the whole process and need no release.
struct Cursor {
    CursorShape shape;
};
using CursorHandle = const Cursor*;

CursorHandle LoadCursor(CursorShape shape);
// Shows `cursor` while the pointer is over `window`; a null cursor changes nothing.
void SetCursor(WindowHandle window, CursorHandle cursor);

// Confines the pointer to a screen rectangle; null releases it. Best effort: a backend may
// be unable to confine the pointer and then ignores the call.
void ClipCursor(const Rect* screenRect);

// The pointer position in screen coordinates.
Point GetCursorPos();

// Whether the key (VK_CONTROL or VK_SHIFT; other codes report not held) is held, as of the
// last input event the backend saw.
bool IsKeyHeld(int virtualKey);

// The client point a backend reports with mouse message `message` for the pointer at `at`.
// While a button is held (`buttonHeld`: any button is down after the event) and on every
// button's release the point is kept inside a client area of `client`, as the pointer of the
// original system was confined there; other points pass unchanged. Both backends deliver their
// mouse messages through this, so handlers never see a held or released button outside the
// window (they read the coordinates as unsigned 16-bit values).
Point ReportedMousePoint(std::uint32_t message, bool buttonHeld, Point at, Size client);

}  // namespace platform
