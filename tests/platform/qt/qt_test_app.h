#pragma once
// The one QApplication of a Qt test program: made on first use and never destroyed, because
// Qt's own globals go away first at exit.

#include <QApplication>

inline void EnsureQtTestApp() {
    static int argc = 1;
    static char name[] = "qt_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}
