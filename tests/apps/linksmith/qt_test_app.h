#pragma once
// The one QApplication of a test run (offscreen), made by the first test that needs widgets and
// never destroyed: Qt's own globals go away first at exit. Main thread only.

void EnsureQtApplication();
