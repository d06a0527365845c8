#include "tests/apps/linksmith/qt_test_app.h"

#include <QApplication>

void EnsureQtApplication() {
    static int argc = 1;
    static char name[] = "linksmith_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}
