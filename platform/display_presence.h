#pragma once
// Whether a program can show windows here. Any thread; reads the environment only.

namespace platform {

// True when a display is named (DISPLAY or WAYLAND_DISPLAY) and the Qt platform plug-in chosen
// by QT_QPA_PLATFORM, if any, is not one that shows nothing ("offscreen", "minimal").
bool HasDisplay();

}  // namespace platform
