#pragma once
// Roamer's view: one platform window that a viewer engine draws into and drives, the view
// commands (reset, details, antialiasing level, degrees of freedom, instructions) and the two
// settings they change. UI thread only.
//
// The antialiasing level and the freedoms are read from the profile when the view is made and
// written back when it is destroyed. The view owns its engine for its whole life.

#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "engine/container/panorama_note.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/input.h"
#include "platform/window.h"

class CRoamerDoc;
class RoamerProfile;

namespace platform {
class QtWindowHost;
}

class CRoamerView : public QWidget {
  public:
    CRoamerView(CRoamerDoc& document, RoamerProfile& profile, QWidget* parent = nullptr);
    ~CRoamerView() override;

    // Loads the document's path, when it has one, into the engine and shows it; the path is
    // consumed either way. A load failure is shown in a message box ("Roamer") and leaves the
    // view empty. True when a panorama was loaded.
    bool OnInitialUpdate();

    // Whether a panorama is loaded (the view commands are enabled).
    bool IsLoaded() const;
    // The file name of the panorama shown; empty when none is.
    QString ShownFileName() const;
    // Whether the loaded panorama carries details (the details command is enabled).
    bool HasNote() const { return note_.has_value(); }
    int AntialiasLevel() const { return antialiasLevel_; }
    int Freedoms() const { return freedoms_; }

    // The view's platform window.
    platform::WindowHandle ViewWindow() const;
    ViewerEngine& Engine() { return engine_; }

    void OnResetPanorama();
    void OnPanoramaDetails();
    void OnAntialiasLevel(int level);
    void OnToggleFreedom(int bit);
    void OnInstructions();

    // Called when the view shows another panorama, or none: after a load, before its first
    // frame is drawn; after a hotspot action has left another panorama open, or none (a link
    // whose load failed closes the engine). The title and the commands' states follow.
    std::function<void()> panoramaChanged;

  protected:
    // Notes, before the engine sees a left click, which panorama the clicked hotspot links to.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static std::intptr_t ViewProc(platform::WindowHandle window, std::uint32_t message,
                                  std::uintptr_t wParam, std::intptr_t lParam);
    void ClosePanorama();
    void ShowViewCursor();
    void NotifyPanoramaChanged();
    // After the engine has run a clicked hotspot's action: an engine closed by a failed link
    // shows the empty view; a linked panorama brings its own details.
    void AfterHotspotClick();

    RoamerProfile& profile_;
    CRoamerDoc& document_;
    platform::QtWindowHost* host_;
    ViewerEngine engine_;
    int antialiasLevel_;
    int freedoms_;
    std::optional<PanoramaNote> note_;
    // Set between a click on a hotspot and the view's own handling of that click.
    std::optional<std::filesystem::path> clickedLink_;
    std::filesystem::path shownPath_;
    platform::CursorHandle viewCursor_;
};
