#include "apps/standalone_viewer/headless_viewer_shell.h"

HeadlessViewerShell::~HeadlessViewerShell() {
    refuseDestroy = false;
    Destroy();
}

platform::WindowHandle HeadlessViewerShell::Create(const std::string& windowTitle,
                                                   platform::Size size) {
    window = backend_.CreateWindow(size);
    title = windowTitle;
    visible = false;
    statusText.clear();
    ++windowsMade;
    return window;
}

bool HeadlessViewerShell::Destroy() {
    if (window == platform::kNoWindow)
        return true;
    if (refuseDestroy)
        return false;
    const platform::WindowHandle old = window;
    window = platform::kNoWindow;
    visible = false;
    backend_.DestroyWindow(old);
    return true;
}

void HeadlessViewerShell::Show(const std::string& text, platform::Point at) {
    statusText = text;
    topLeft = at;
    visible = true;
}

int HeadlessViewerShell::TrackPopupMenu(platform::Point screenPoint, bool helpEnabled,
                                        bool aboutEnabled) {
    menus.push_back({screenPoint, helpEnabled, aboutEnabled});
    return menuChoice;
}

bool HeadlessViewerShell::OpenHelp(const std::string& page, int context) {
    helpRequests.push_back(page + "#context-" + std::to_string(context));
    return helpOpens;
}
