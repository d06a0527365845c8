#include "plugin/scenegrab/plugin_ui.h"

#include <dlfcn.h>

#include <QApplication>
#include <filesystem>
#include <memory>

#include "apps/common/help_page.h"
#include "platform/backend.h"
#include "platform/display_presence.h"
#include "platform/message_box.h"
#include "platform/qt/gui_application.h"
#include "platform/qt/qt_backend.h"
#include "plugin/scenegrab/plugin_message_dlg.h"

namespace scenegrab {

namespace {

struct GuiSession {
    std::unique_ptr<QApplication> application;  // made by the module, when the host had none
    std::unique_ptr<platform::QtBackend> backend;
    int argc = 1;
    char name[10] = "scenegrab";
    char* argv[2] = {name, nullptr};
};

GuiSession& Session() {
    static GuiSession session;
    return session;
}

std::filesystem::path ModuleFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&PluginHelpFile), &info) == 0 || info.dli_fname == nullptr)
        return {};
    std::error_code ec;
    const auto path = std::filesystem::canonical(info.dli_fname, ec);
    return ec ? std::filesystem::path(info.dli_fname).parent_path() : path.parent_path();
}

}  // namespace

void StartPluginGui() {
    GuiSession& session = Session();
    if (QCoreApplication::instance() == nullptr && platform::HasDisplay())
        session.application = platform::OpenGuiApplication(session.argc, session.argv, "scenegrab");
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
        platform::InstalledBackend() == nullptr) {
        session.backend = std::make_unique<platform::QtBackend>();
        session.backend->Install();
    }
}

void StopPluginGui() {
    GuiSession& session = Session();
    session.backend.reset();
    session.application.reset();
}

bool PluginGuiAvailable() {
    const GuiSession& session = Session();
    return session.backend != nullptr && platform::InstalledBackend() == session.backend.get() &&
           qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
           !platform::IsBatchMode();
}

void ShowPluginMessage(const std::string& text, int helpContext) {
    if (PluginGuiAvailable()) {
        CPluginMessageDlg dialog(text, helpContext);
        dialog.exec();
        return;
    }
    platform::MessageBox(platform::kNoWindow, text, kPluginCaption, platform::MB_OK);
}

void ShowMessage(std::string_view text) {
    platform::MessageBox(platform::kNoWindow, text, kMessageCaption, platform::MB_OK);
}

std::string PluginHelpFile() {
    const std::filesystem::path folder = ModuleFolder();
    const std::filesystem::path beside = folder / "help" / "RARIVUDUZOVU.html";
    const std::filesystem::path installed =
        folder / ".." / ".." / ".." / "share" / "scenegrab" / "help" / "RARIVUDUZOVU.html";
    std::error_code ec;
    return (!std::filesystem::exists(beside, ec) && std::filesystem::exists(installed, ec)
                ? installed
                : beside)
        .string();
}

void OpenPluginHelp(int context) {
    if (!OpenHelpFile(PluginHelpFile(), context))
        ShowMessage(kHelpFailure);
}

}  // namespace scenegrab
