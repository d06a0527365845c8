#include "apps/common/stored_text_qt.h"

#include "platform/stored_text.h"

QString StoredTextToQString(std::string_view stored) {
    const std::string utf8 = platform::StoredTextToUtf8(stored);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string StoredTextFromQString(std::string_view original, const QString& shown,
                                  const QString& edited) {
    return platform::StoredTextAfterEdit(original, shown.toStdString(), edited.toStdString());
}
