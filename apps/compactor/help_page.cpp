#include "apps/compactor/help_page.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

std::string DefaultHelpFilePath() {
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString beside = programDir + QStringLiteral("/help/Vuzuzuvuzez.html");
    const QString installed =
        programDir + QStringLiteral("/../share/compactor/help/Vuzuzuvuzez.html");
    return (QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : installed)
        .toStdString();
}

bool OpenHelpContext(const std::string& helpFile, int context) {
    const QFileInfo file(QString::fromStdString(helpFile));
    if (!file.isFile())
        return false;
    QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    url.setFragment(QStringLiteral("context-%1").arg(context));
    return QDesktopServices::openUrl(url);
}
