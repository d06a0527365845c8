#include "apps/mimeo/mimeo_help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>

QUrl MimeoHelpUrl(const QString& programDir, int context) {
    const QString candidates[] = {
        programDir + QStringLiteral("/help/CvnMimeo.html"),
        programDir + QStringLiteral("/../share/mimeo/help/CvnMimeo.html"),
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

bool OpenMimeoHelp(int context) {
    const QUrl url = MimeoHelpUrl(QCoreApplication::applicationDirPath(), context);
    return !url.isEmpty() && QDesktopServices::openUrl(url);
}
