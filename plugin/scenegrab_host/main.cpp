// The stand-in renderer host: loads the Scenegrab plug-in and renders the demo scene through
// it (see render_job.h). With a display, a Qt application is made before the plug-in is
// loaded, so the plug-in's dialogs and viewer window live in it; once the render is done, the
// host keeps running until the last window the plug-in left open is closed.

#include <QApplication>
#include <QWidget>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/display_presence.h"
#include "platform/qt/gui_application.h"
#include "platform/termination_signals.h"
#include "plugin/scenegrab_host/host_command_line.h"
#include "plugin/scenegrab_host/plugin_module.h"
#include "plugin/scenegrab_host/render_job.h"

namespace {

std::string RunningProgram(const char* argv0) {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(argv0) : self.string();
}

bool AnyWindowVisible() {
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto line = scenegrab_host::ParseHostCommandLine(
        std::vector<std::string>(argv + 1, argv + argc), &error);
    if (!line) {
        std::cerr << "scenegrab-host: " << error << '\n' << scenegrab_host::kHostUsage << '\n';
        return 2;
    }

    int qtArgc = 1;
    std::unique_ptr<QApplication> gui;
    if (platform::HasDisplay())
        gui = platform::OpenGuiApplication(qtArgc, argv, "scenegrab-host");

    const std::string pluginPath =
        scenegrab_host::FindPluginModule(line->pluginPath, RunningProgram(argv[0]));
    auto module = scenegrab_host::PluginModule::Open(pluginPath, &error);
    if (!module) {
        std::cerr << "scenegrab-host: " << error << '\n';
        return 1;
    }
    auto started = scenegrab_host::StartedModule::Start(module->Descriptor(), std::cerr);
    if (!started)
        return 1;
    const int status = started->Render(line->settings, std::cerr);
    if (gui && AnyWindowVisible()) {
        // A signal closes the plug-in's viewer through the module's shutdown, then ends the host.
        platform::EndOnTerminationSignals([&started] { started.reset(); });
        gui->exec();
    }
    started.reset();
    return status;
}
