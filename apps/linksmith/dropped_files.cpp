#include "apps/linksmith/dropped_files.h"

#include <QMimeData>
#include <QUrl>

QStringList DroppedLocalFiles(const QMimeData* data) {
    QStringList paths;
    if (data == nullptr)
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}
