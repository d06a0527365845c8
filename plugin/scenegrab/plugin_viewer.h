#pragma once
// The module's viewer window: the stand-alone viewer window of the suite, 500 by 300 pixels,
// titled "Halvex Viewer", with the plug-in's help (context 6) and About box; its right-click
// menu opens when the button is released. Made on first use; the module's shutdown destroys
// it. Host thread only.

#include "bitmap/cdib.h"

namespace scenegrab {

// Shows `panorama` (24 bits) in the viewer window, which takes its own copy; the window of an
// earlier panorama is closed first. Nothing is shown when the process has no windowing
// backend (no display and no headless backend).
void ShowInViewerWindow(const CDIB& panorama);

// Destroys the viewer window, when there is one.
void CloseViewerWindow();

}  // namespace scenegrab
