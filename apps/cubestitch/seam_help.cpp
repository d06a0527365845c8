#include "apps/cubestitch/seam_help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>

namespace cubestitch {

QUrl SeamHelpUrl(const QString& programDir, int context) {
    const QString candidates[] = {
        programDir + QStringLiteral("/help/CVNcubestitch.html"),
        programDir + QStringLiteral("/../share/cubestitch/help/CVNcubestitch.html"),
    };
    for (const QString& candidate : candidates) {
        const QFileInfo info(candidate);
        if (!info.isFile())
            continue;
        QUrl url = QUrl::fromLocalFile(info.canonicalFilePath());
        url.setFragment(QStringLiteral("context-%1").arg(context));
        return url;
    }
    return {};
}

bool OpenSeamHelp(int context) {
    const QUrl url = SeamHelpUrl(QCoreApplication::applicationDirPath(), context);
    return !url.isEmpty() && QDesktopServices::openUrl(url);
}

}  // namespace cubestitch
