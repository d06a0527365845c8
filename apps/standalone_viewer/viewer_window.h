#pragma once
// CViewerWindow: a top-level window that shows one panorama live through its own viewer
// engine, with the status line "Press <space> to reset view" and a right-click menu of Help,
// Reset Panorama and About (F1, the help key, runs Help too). Used for a panorama held in memory (a
// packed bitmap) or a panorama or image file. One window at a time per object; each Open starts a
// fresh window and engine.
//
// User-interface thread only. The engine's render thread paints the window once it is shown;
// the window's messages (close, destroy, right button, F1, commands) arrive through its platform
// window's procedure, below the engine's. Message boxes go through platform::MessageBox with
// the caption the owner gives (so unattended runs answer them on standard error).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "apps/standalone_viewer/viewer_window_shell.h"
#include "engine/viewer/viewer_engine.h"

class CViewerWindow {
  public:
    // What the owning program sets before it shows a panorama.
    struct Settings {
        std::string title = "Corvane(TM)";
        std::string icon;                // a program icon's name (apps/common/program_icon.h)
        platform::Size size{320, 240};
        std::string caption;   // of the message boxes
        std::string helpPage;  // empty: the Help item is greyed
        int helpContext = 0;
        // The program's About box, given the viewer's window to open over (its parent);
        // empty: the item is greyed.
        std::function<void(platform::WindowHandle parent)> about;
        bool menuOnRelease = false;    // the menu opens when the right button is released
        bool reportLoadError = false;  // a load failure's own text is shown first
    };

    // `shell` null: MakeViewerWindowShell().
    explicit CViewerWindow(std::unique_ptr<ViewerWindowShell> shell = nullptr);
    ~CViewerWindow();
    CViewerWindow(const CViewerWindow&) = delete;
    CViewerWindow& operator=(const CViewerWindow&) = delete;

    Settings& GetSettings() { return settings_; }
    void SetTitle(std::string title) { settings_.title = std::move(title); }
    void SetHelp(std::string page, int context);

    // Closes any window this object has, then makes a hidden window and loads into a new
    // engine: kind 0 the panorama or image file at the path `data` (`size` ignored), kind 1
    // the panorama held in memory at `data`, `size` bytes (a packed bitmap: header, colours,
    // rows; the engine copies it). Returns 1 with the window made, hidden, the view at pan 0,
    // tilt 0, roll 0, field of view 60. Returns 0 when the old window cannot be destroyed
    // ("Unable to destroy window.", the old window stays), when no window can be made, or when
    // the panorama cannot be loaded ("Unable to display panorama"; no window is left).
    int Open(int kind, const void* data, std::size_t size);
    int OpenFile(const std::string& path) { return Open(0, path.c_str(), 0); }
    int OpenMemory(std::span<const std::uint8_t> block) {
        return Open(1, block.data(), block.size());
    }
    // After a successful Open: the status line, the window centred on the screen, on top and
    // shown, the engine attached. 1, or 0 (nothing done) when there is no window.
    int ShowPanorama();
    // Destroys the window when there is one ("Unable to destroy window." when that fails).
    // Returns whether a window still exists.
    int Destroy();

    // The menu commands (kViewerCmdAbout, kViewerCmdReset, kViewerCmdHelp); others are ignored.
    void OnCommand(int command);

    bool IsCreated() const { return created_; }
    platform::WindowHandle Window() const { return window_; }
    // The engine of the shown panorama, null when there is none.
    ViewerEngine* Viewer() const { return viewer_.get(); }
    ViewerWindowShell* Shell() const { return shell_.get(); }

  private:
    static std::intptr_t WindowProc(platform::WindowHandle window, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam);
    void OnDestroy();
    void OnRightButton(std::intptr_t lParam);
    void Tell(const std::string& text) const;
    bool LoadInto(ViewerEngine& engine, int kind, const void* data, std::size_t size);

    std::unique_ptr<ViewerWindowShell> shell_;
    Settings settings_;
    bool created_ = false;
    platform::WindowHandle window_ = platform::kNoWindow;
    std::unique_ptr<ViewerEngine> viewer_;
    platform::CursorHandle cursorNormal_;
    platform::CursorHandle cursorHotspot_;
    platform::CursorHandle cursorLink_;
};

// The program's one viewer window, made on first use. User-interface thread.
CViewerWindow* GetViewerWindow();
// Destroys the program's viewer window and its object, when there is one (at program close).
void DestroyViewerWindow();
