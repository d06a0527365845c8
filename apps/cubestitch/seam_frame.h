#pragma once
// Cubestitch's main window: the row of six face panes with the panorama pane beneath, the
// menus and accelerators, and the frame commands: open a face or all faces, seam, save through
// the compressor, view the panorama, preferences, help, about, exit, and the edit commands that
// go to the selected face pane. Closing with an unsaved seam asks "Save changes to the seamed
// image?".
//
// User-interface thread only. What the frame asks of the desktop (file dialogs, message
// boxes, the compressor, the help page) goes through `SeamFrameServices`, which tests replace.

#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "apps/cube_seam/cube_face.h"
#include "apps/cubestitch/image_pane.h"
#include "apps/cubestitch/panorama_saver.h"
#include "apps/cubestitch/seam_messages.h"
#include "apps/cubestitch/seam_settings.h"

namespace cubestitch {

struct SeamFrameServices {
    AskUser ask = ShowSeamMessage;
    // Asks for a face file under the dialog title given; nothing when the user cancels.
    std::function<std::optional<std::string>(const QString& title)> askOpenFile;
    // Asks where to save the panorama; nothing when the user cancels.
    std::function<std::optional<std::string>()> askSavePath;
    CompressorRunner runCompressor = RunCompactor;
    // Opens the help at a context number; false when it cannot.
    std::function<bool(int context)> help;
};

// The desktop's own: Qt file dialogs with the program's filters, the platform's message box,
// the real compressor and the help page.
SeamFrameServices DesktopServices(QWidget* dialogParent);

class CSeamFrame final : public QMainWindow {
  public:
    // `settings` must outlive the frame. Services left empty are taken from DesktopServices.
    CSeamFrame(SeamSettings& settings, SeamFrameServices services);
    ~CSeamFrame() override;

    // Runs a command by its number (command_ids.h), as the menus, accelerators and caption
    // buttons do. Unknown numbers do nothing.
    void OnCommand(int commandId);

    // Makes `pane` the selected face pane (its border shows, the previous one's goes).
    void SelectPane(CFacePane* pane);
    CFacePane* SelectedPane() const { return selected_; }

    CFacePane& FacePane(int face) { return *faces_[static_cast<std::size_t>(face)]; }
    CPanoramaPane& PanoramaPane() { return *panorama_; }

    // Lays the panes out for a client area of `width` x `height`.
    void LayoutPanes(int width, int height);

    // Loads `path` into face pane `face` and brings it to 24 bits. On failure shows
    // `loadMessage` or `convertMessage`, leaves a blank 128 x 128 picture in the pane and
    // returns false.
    bool LoadFace(int face, const std::string& path, const std::string& loadMessage,
                  const std::string& convertMessage);

    void OnOpenFace(int face);
    void OnOpenAll();
    // Seams the six faces into the panorama pane behind the progress dialog (no window under
    // the headless backend); sets the unsaved flag when pixels were written. True when the
    // seam finished.
    bool OnSeam();
    // Shows the panorama pane's picture live in the program's viewer window (made on first
    // use, re-opened at the initial view each time); the window reports what it cannot show.
    void OnViewPanorama();
    // Asks for a path and saves there; true when the panorama file was written. The unsaved
    // flag is cleared only then.
    bool OnSavePanorama();
    // Saves the panorama at `path` through the compressor; true when written (flag cleared).
    bool SavePanoramaTo(const std::string& path);
    void OnPreferences();

    // The close prompt: true when the window may close. With unsaved changes asks Yes, No or
    // Cancel; Yes closes only when the save succeeded.
    bool QueryClose();

    // Whether the program runs from its command line (the seam's Cancel is then disabled).
    void SetBatch(bool batch) { batch_ = batch; }

    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    SeamSettings& Settings() { return settings_; }
    const SeamFrameServices& Services() const { return services_; }

  protected:
    // Asks as QueryClose does; when the frame closes, the viewer window goes with it.
    void closeEvent(QCloseEvent* event) override;

  private:
    class ClientArea;

    void BuildMenus();
    void BuildAccelerators();
    void ForwardToSelectedPane(int commandId);
    void OnHelp();
    // The About box, opened over `parent` (the frame when null).
    void OnAbout(QWidget* parent);

    SeamSettings& settings_;
    SeamFrameServices services_;
    ClientArea* client_;
    std::array<CFacePane*, kCubeFaceCount> faces_{};
    CPanoramaPane* panorama_ = nullptr;
    CFacePane* selected_ = nullptr;
    bool modified_ = false;
    bool batch_ = false;
};

}  // namespace cubestitch
