#include "apps/standalone_viewer/viewer_window_shell.h"

#include <QApplication>

#include "apps/standalone_viewer/headless_viewer_shell.h"
#include "apps/standalone_viewer/qt_viewer_shell.h"
#include "platform/qt/qt_backend.h"

std::unique_ptr<ViewerWindowShell> MakeViewerWindowShell() {
    if (platform::QtBackend::Installed() != nullptr &&
        qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
        return std::make_unique<QtViewerShell>();
    if (auto* headless = dynamic_cast<platform::HeadlessBackend*>(platform::InstalledBackend()))
        return std::make_unique<HeadlessViewerShell>(*headless);
    return nullptr;
}
