#pragma once
// Roamer's help: an HTML page shipped with the program (help/CvnRoamer.html beside the
// executable, or share/roamer/help/ of the installation), opened in the desktop's browser at
// the anchor of a context number. UI thread only.

#include <QString>
#include <QUrl>

class QWidget;

// The help page's address at `context` ("...#context-3"), or an empty URL when the page is not
// found beside `programDir`.
QUrl RoamerHelpUrl(const QString& programDir, int context);

// Opens the help at `context`; when the page is missing or no browser takes it, shows
// "Unable to open help file" in a message box over `parent`.
void ShowRoamerHelp(QWidget* parent, int context);
