#include "apps/common/help_page.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

#include "platform/message_box.h"
#include "platform/program_launcher.h"

std::string FindHelpFile(const std::string& programDir, const HelpPage& page) {
    const QString dir = QString::fromStdString(programDir);
    const QString file = QString::fromStdString(page.fileName);
    const QString candidates[] = {
        dir + QStringLiteral("/help/") + file,
        dir + QStringLiteral("/../share/") + QString::fromStdString(page.program) +
            QStringLiteral("/help/") + file,
    };
    for (const QString& candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile())
            return info.canonicalFilePath().toStdString();
    }
    return {};
}

std::string HelpAddress(const std::string& file, int context) {
    QUrl url = QUrl::fromLocalFile(QFileInfo(QString::fromStdString(file)).absoluteFilePath());
    url.setFragment(QStringLiteral("context-%1").arg(context));
    return url.toString(QUrl::FullyEncoded).toStdString();
}

bool OpenHelpFile(const std::string& file, int context) {
    if (file.empty() || !QFileInfo(QString::fromStdString(file)).isFile())
        return false;
    return platform::OpenAddress(HelpAddress(file, context));
}

bool OpenHelp(const HelpPage& page, int context) {
    return OpenHelpFile(FindHelpFile(QCoreApplication::applicationDirPath().toStdString(), page),
                        context);
}

bool ShowHelp(const HelpPage& page, int context, std::string_view caption,
              platform::WindowHandle owner) {
    if (OpenHelp(page, context))
        return true;
    platform::MessageBox(owner, kHelpFailedText, caption,
                         platform::MB_OK | platform::MB_ICONWARNING);
    return false;
}
