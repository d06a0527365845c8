// Roamer, the panorama viewer.

#include <QApplication>

#include "apps/roamer/roamer_app.h"
#include "platform/qt/qt_backend.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Roamer"));
    platform::QtBackend backend;
    backend.Install();

    CRoamerApp roamer;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!roamer.InitInstance(arguments))
        return 1;
    return QApplication::exec();
}
