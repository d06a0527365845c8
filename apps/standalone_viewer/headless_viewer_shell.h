#pragma once
// The stand-alone viewer window without a display: an in-memory window of the headless
// backend, with its status text, placement and menu recorded and the menu's choice and the
// help's success set by the caller (tests). User-interface thread only.

#include <string>
#include <vector>

#include "apps/standalone_viewer/viewer_window_shell.h"
#include "platform/headless/headless_backend.h"

class HeadlessViewerShell : public ViewerWindowShell {
  public:
    explicit HeadlessViewerShell(platform::HeadlessBackend& backend) : backend_(backend) {}
    ~HeadlessViewerShell() override;

    platform::WindowHandle Create(const std::string& title, platform::Size size) override;
    bool Destroy() override;
    void Show(const std::string& statusText, platform::Point topLeft) override;
    int TrackPopupMenu(platform::Point screenPoint, bool helpEnabled, bool aboutEnabled) override;
    bool OpenHelp(const std::string& page, int context) override;

    struct Menu {
        platform::Point at;
        bool helpEnabled;
        bool aboutEnabled;
    };
    platform::WindowHandle window = platform::kNoWindow;
    std::string title;
    bool visible = false;
    std::string statusText;
    platform::Point topLeft;
    std::vector<Menu> menus;
    int menuChoice = 0;                       // what the next menu returns
    bool helpOpens = true;                    // what OpenHelp returns
    std::vector<std::string> helpRequests;    // "page#context-N"
    bool refuseDestroy = false;               // Destroy fails while set
    int windowsMade = 0;

  private:
    platform::HeadlessBackend& backend_;
};
