#include "platform/qt/qt_paths.h"

#include <QByteArray>
#include <QMimeData>
#include <QUrl>

#include "platform/path_text.h"

namespace platform {

QString PathText(std::string_view path) {
    return QString::fromStdString(PathForDisplay(path));
}

std::string LocalPathOfUrl(const QUrl& url) {
    if (!url.isLocalFile())
        return {};
    // The encoded form keeps bytes that are not UTF-8 as "%XX", where the decoded text would
    // hold U+FFFD.
    const QByteArray path =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    const QString host = url.host();
    std::string bytes;
    if (!host.isEmpty() && host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) != 0)
        bytes = "//" + host.toStdString();
    bytes.append(path.constData(), static_cast<std::size_t>(path.size()));
    return bytes;
}

std::vector<std::string> DroppedLocalPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (data == nullptr)
        return paths;
    for (const QUrl& url : data->urls()) {
        if (std::string path = LocalPathOfUrl(url); !path.empty())
            paths.push_back(std::move(path));
    }
    return paths;
}

}  // namespace platform
