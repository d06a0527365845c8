#include "platform/qt/qt_clipboard.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace platform {

namespace {

QClipboard* DesktopClipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
               ? QGuiApplication::clipboard()
               : nullptr;
}

std::vector<std::uint8_t> ToBytes(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            reinterpret_cast<const std::uint8_t*>(data.constData()) + data.size()};
}

}  // namespace

bool QtClipboard::SetData(const std::string& mimeType, std::span<const std::uint8_t> bytes) {
    QClipboard* clipboard = DesktopClipboard();
    if (clipboard == nullptr)
        return false;
    auto* data = new QMimeData;
    data->setData(QString::fromStdString(mimeType),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<qsizetype>(bytes.size())));
    clipboard->setMimeData(data);  // the clipboard owns it from here on
    return true;
}

std::optional<std::vector<std::uint8_t>> QtClipboard::GetData(const std::string& mimeType) {
    QClipboard* clipboard = DesktopClipboard();
    if (clipboard == nullptr)
        return std::nullopt;
    const QMimeData* data = clipboard->mimeData();
    if (data == nullptr)
        return std::nullopt;
    const QString type = QString::fromStdString(mimeType);
    if (data->hasFormat(type))
        return ToBytes(data->data(type));
    if (mimeType != kBitmapMimeType || !data->hasImage())
        return std::nullopt;
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull())
        return std::nullopt;
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP"))
        return std::nullopt;
    return ToBytes(file);
}

}  // namespace platform
