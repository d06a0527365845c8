#include "plugin/scenegrab/plugin_viewer.h"

#include "apps/common/program_icon.h"
#include "apps/standalone_viewer/viewer_window.h"
#include "platform/backend.h"
#include "platform/qt/qt_backend.h"
#include "plugin/scenegrab/plugin_ui.h"
#include "plugin/scenegrab/saver_options_dlg.h"

namespace scenegrab {

namespace {

constexpr int kViewerHelpContext = 6;

}  // namespace

void ShowInViewerWindow(const CDIB& panorama) {
    if (platform::InstalledBackend() == nullptr)
        return;
    CViewerWindow* window = GetViewerWindow();
    CViewerWindow::Settings& settings = window->GetSettings();
    settings.size = {500, 300};
    settings.icon = kScenegrabIcon;
    settings.caption = kMessageCaption;
    settings.menuOnRelease = true;
    settings.reportLoadError = true;
    settings.about = [](platform::WindowHandle parent) {
        ShowPluginAbout(platform::TopLevelWidgetOf(parent));
    };
    window->SetTitle("Halvex Viewer");
    window->SetHelp(PluginHelpFile(), kViewerHelpContext);
    if (window->OpenMemory(panorama.GetBlock()) != 0)
        window->ShowPanorama();
}

void CloseViewerWindow() {
    DestroyViewerWindow();
}

}  // namespace scenegrab
