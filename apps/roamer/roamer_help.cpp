#include "apps/roamer/roamer_help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>

namespace {

constexpr const char* kHelpFile = "CvnRoamer.html";

}  // namespace

QUrl RoamerHelpUrl(const QString& programDir, int context) {
    const QString candidates[] = {
        programDir + QStringLiteral("/help/") + QLatin1String(kHelpFile),
        programDir + QStringLiteral("/../share/roamer/help/") + QLatin1String(kHelpFile),
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

void ShowRoamerHelp(QWidget* parent, int context) {
    const QUrl url = RoamerHelpUrl(QCoreApplication::applicationDirPath(), context);
    if (url.isEmpty() || !QDesktopServices::openUrl(url)) {
        QMessageBox::warning(parent, QStringLiteral("Roamer"),
                             QStringLiteral("Unable to open help file"));
    }
}
