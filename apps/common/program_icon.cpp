#include "apps/common/program_icon.h"

#include <QFile>
#include <QString>

QIcon ProgramIcon(std::string_view name) {
    const QString path =
        QStringLiteral(":/icons/%1.png")
            .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    return QFile::exists(path) ? QIcon(path) : QIcon();
}
