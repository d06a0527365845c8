#pragma once
// Linksmith's main window: the File menu over the hotspot editor, and the live view of the
// edited panorama as the whole client area (a platform window that the editor's engine
// subclasses and draws into, with the hotspot rectangles drawn over its frames).
// UI thread only; a QApplication and an installed platform backend must outlive the frame.

#include <QMainWindow>
#include <QString>

#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "apps/linksmith/frame_window.h"
#include "apps/linksmith/linksmith_editor.h"

class QAction;
class QMenu;

namespace platform {
class QtWindowHost;
}

class CLinksmithFrame : public QMainWindow, public FrameWindow {
  public:
    // The size of the client area the frame opens with.
    static constexpr int kClientWidth = 512;
    static constexpr int kClientHeight = 256;

    CLinksmithFrame();
    // Closes the open panorama (its extraction folder goes too) before the window goes.
    ~CLinksmithFrame() override;

    LinksmithEditor& Editor() { return *editor_; }
    platform::QtWindowHost& Host() const { return *host_; }
    // The action of a command number (linksmith_commands.h); null for an unknown number.
    QAction* Command(int id) const;
    // Resizes the window, keeping its top-left corner, so that the client area is exactly
    // kClientWidth by kClientHeight.
    void SizeClientArea();

    // FrameWindow
    platform::WindowHandle Handle() const override;
    void Invalidate(bool erase) override;
    void UpdateNow() override;
    void UpdateCommandStates() override;
    bool EditHotspotText(std::string& text) override;
    bool EditDimensions(int& horizontal, int& vertical) override;
    bool EditEmbeddedFiles(EmbeddedFileList& files) override;
    bool EditPanoramaDetails(PanoramaNote& note) override;
    void ShowContextMenu(ContextPopup popup, platform::Point screenPoint) override;
    void ShowHelp(int context) override;
    platform::WindowHandle CreateChildWindow() override;
    void DestroyChildWindow(platform::WindowHandle child) override;

  protected:
    // Asks "Save changes?" first; a cancelled or failed save keeps the window open.
    void closeEvent(QCloseEvent* event) override;
    // Files dragged from the desktop: local files are taken, at the point in the view where
    // they are dropped.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateMenus();
    // Adds the commands to `menu` and, with `record`, remembers their actions.
    template <std::size_t N>
    void AddCommands(QMenu* menu, const std::array<CommandInfo, N>& commands, bool record);
    void OnCommand(int id);
    std::optional<std::string> ChooseFileToOpen();
    std::optional<std::string> ChooseFileToSave();

    platform::QtWindowHost* host_;
    std::unique_ptr<LinksmithEditor> editor_;
    std::map<int, QAction*> commands_;
    // The preview windows of hotspot tests, by their handles.
    std::map<platform::WindowHandle, platform::QtWindowHost*> children_;
    // The path chosen in the open dialog the last time during this run.
    std::string lastOpenPath_;  // the file Open chose last (bytes)
};
