#include "apps/compactor/compactor_app.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <new>
#include <string_view>

#include "apps/compactor/command_line.h"
#include "apps/compactor/compactor_messages.h"
#include "apps/compactor/compression_options_dlg.h"
#include "apps/compactor/compression_settings.h"
#include "apps/compactor/help_page.h"

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

bool HasDisplay() {
    if (const char* platform = std::getenv("QT_QPA_PLATFORM")) {
        const std::string_view name(platform);
        if (name.starts_with("offscreen") || name.starts_with("minimal")) return false;
    }
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

CCompactorApp::CCompactorApp(std::string programPath, std::vector<std::string> args)
    : programPath_(std::move(programPath)), args_(std::move(args)) {}

int CCompactorApp::InitInstance() {
    try {
        return Run();
    } catch (const std::bad_alloc&) {
        std::cerr << "Compactor: out of memory" << std::endl;
        return 2;
    }
}

int CCompactorApp::Run() {
    CompressionSettings settings;
    CCompactorCommandLineInfo info(settings);
    ParseCommandLine(args_, info);

    // Qt's own options stay out of the way: the toolkit sees only the program's name.
    int qtArgc = 1;
    char* qtArgv[] = {programPath_.data(), nullptr};
    std::unique_ptr<QApplication> gui;
    if (HasDisplay()) gui = std::make_unique<QApplication>(qtArgc, qtArgv);

    if (info.dialogFlag != 0) {
        if (gui) {
            CCompressionOptionsDlg dialog(settings, DefaultHelpFilePath(), ShowCompactorMessage);
            dialog.DoModalFor(info.callerWindow);
        } else {
            std::cerr << "Compactor: no display; the Compression Options dialog is not shown"
                      << std::endl;
        }
    }
    return 0;
}
