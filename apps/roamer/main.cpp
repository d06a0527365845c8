// Roamer, the panorama viewer.

#include <QApplication>

#include <string>
#include <vector>

#include "apps/common/program_icon.h"
#include "apps/roamer/roamer_app.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/qt/gui_application.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt_media/qt_media_outputs.h"
#include "platform/termination_signals.h"

int main(int argc, char* argv[]) {
    const auto application = platform::OpenGuiApplication(argc, argv, "roamer");
    QApplication::setApplicationName(QStringLiteral("Roamer"));
    QApplication::setWindowIcon(ProgramIcon(kRoamerIcon));
    platform::QtBackend backend;
    backend.Install();
    platform::EndOnTerminationSignals(ViewerEngine::CloseEveryPanorama);
    platform::ScopedQtMedia media;

    CRoamerApp roamer;
    // The arguments Qt left, as the bytes given: a file name need not be UTF-8.
    if (!roamer.InitInstance(std::vector<std::string>(argv + 1, argv + argc)))
        return 1;
    return QApplication::exec();
}
