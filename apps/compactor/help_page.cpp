#include "apps/compactor/help_page.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

std::string DefaultHelpFilePath() {
    return (QCoreApplication::applicationDirPath() + "/help/Vuzuzuvuzez.html").toStdString();
}

bool OpenHelpContext(const std::string& helpFile, int context) {
    const QFileInfo file(QString::fromStdString(helpFile));
    if (!file.isFile())
        return false;
    QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    url.setFragment(QStringLiteral("context-%1").arg(context));
    return QDesktopServices::openUrl(url);
}
