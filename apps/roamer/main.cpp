// Roamer, the panorama viewer.

#include <QApplication>

#include "apps/roamer/roamer_app.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt_media/qt_media_outputs.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Roamer"));
    platform::QtBackend backend;
    backend.Install();
    platform::ScopedQtMedia media;

    CRoamerApp roamer;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!roamer.InitInstance(arguments))
        return 1;
    return QApplication::exec();
}
