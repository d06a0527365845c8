#pragma once
// What the hotspot editor needs from the window that shows its panorama: the platform window
// (which the editor's engine subclasses and draws into) and the few window services that are
// not messages. The Qt frame implements it over its window host; tests implement it over a
// headless window. UI thread only.

#include "platform/window.h"

class FrameWindow {
  public:
    virtual ~FrameWindow() = default;

    virtual platform::WindowHandle Handle() const = 0;
    // Asks for a repaint soon: a WM_PAINT reaches the window's handler chain later. With
    // `erase` the background shows until the next picture arrives.
    virtual void Invalidate(bool erase) = 0;
    // Delivers a repaint that is pending now, before returning.
    virtual void UpdateNow() = 0;
    // Brings the enabled states of the menu commands up to date.
    virtual void UpdateCommandStates() = 0;
};
