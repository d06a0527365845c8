#pragma once
// What the hotspot editor needs from the window that shows its panorama: the platform window
// (which the editor's engine subclasses and draws into) and the few window services that are
// not messages. The Qt frame implements it over its window host; tests implement it over a
// headless window. UI thread only.

#include <string>

#include "apps/linksmith/embedded_file_list.h"
#include "apps/linksmith/linksmith_commands.h"
#include "engine/container/panorama_note.h"
#include "platform/geometry.h"
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
    // Shows the define-hotspot dialog modally on `text` (one command a line, stored bytes, shown
    // by the stored texts' reading): true on OK with `text` holding what the user left there
    // (its bytes as they were when left as shown, else UTF-8); false with `text` unchanged
    // otherwise.
    virtual bool EditHotspotText(std::string& text) = 0;
    // Shows the angular-size dialog on the two values: true on OK with them set (checked to
    // 1..360 and 1..180); false with them unchanged otherwise.
    virtual bool EditDimensions(int& horizontal, int& vertical) = 0;
    // Shows the embedded-files dialog on `files`, whose rows the user adds and removes: true
    // on OK; false on Cancel (`files` then holds nothing the caller may use).
    virtual bool EditEmbeddedFiles(EmbeddedFileList& files) = 0;
    // Shows the details dialog on the ten texts of `note`: true on OK with `note` holding what
    // the user left there (each text as `EditHotspotText` gives it back); false with `note`
    // unchanged otherwise.
    virtual bool EditPanoramaDetails(PanoramaNote& note) = 0;
    // Shows one popup of the editor's menu at a screen point and returns once it is closed; a
    // chosen command is carried out through the frame's command handling before it returns.
    virtual void ShowContextMenu(ContextPopup popup, platform::Point screenPoint) = 0;
    // Opens the program's help page at `context`; a page that cannot be opened is reported.
    virtual void ShowHelp(int context) = 0;
    // A child window without title over the whole client area, shown at once, for a panorama
    // previewed by a hotspot test; DestroyChildWindow takes it away (its WM_DESTROY is sent).
    virtual platform::WindowHandle CreateChildWindow() = 0;
    virtual void DestroyChildWindow(platform::WindowHandle child) = 0;
};
