#pragma once
// Mimeo's help: the HTML page CvnMimeo.html shipped beside the program (help/ beside the
// executable, or share/mimeo/help/ of the installation), opened in the desktop's browser at the
// anchor "context-N". User-interface thread; needs a QGuiApplication.

#include <QString>
#include <QUrl>

// The page's address at `context`, or an empty URL when the page is not found for a program
// in `programDir`.
QUrl MimeoHelpUrl(const QString& programDir, int context);

// Opens the help at `context`. False when the page is missing or nothing could open it.
bool OpenMimeoHelp(int context);
