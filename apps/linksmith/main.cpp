// Linksmith, the hotspot editor.

#include <QApplication>

#include <string>
#include <vector>

#include "apps/common/program_icon.h"
#include "apps/linksmith/linksmith_app.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/qt/gui_application.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt_media/qt_media_outputs.h"
#include "platform/termination_signals.h"

int main(int argc, char* argv[]) {
    const auto application = platform::OpenGuiApplication(argc, argv, "linksmith");
    QApplication::setApplicationName(QStringLiteral("Linksmith"));
    QApplication::setWindowIcon(ProgramIcon(kLinksmithIcon));
    platform::QtBackend backend;
    backend.Install();
    platform::EndOnTerminationSignals(ViewerEngine::CloseEveryPanorama);
    platform::ScopedQtMedia media;

    CLinksmithApp linksmith;
    // The arguments Qt left, as the bytes given: a file name need not be UTF-8.
    if (!linksmith.InitInstance(std::vector<std::string>(argv + 1, argv + argc)))
        return 1;
    return QApplication::exec();
}
