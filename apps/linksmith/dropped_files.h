#pragma once
// The files among data dragged onto one of the editor's windows: the local file addresses in
// the order given, as paths; other addresses are left out. No data gives no files. UI thread.

#include <QStringList>

class QMimeData;

QStringList DroppedLocalFiles(const QMimeData* data);
