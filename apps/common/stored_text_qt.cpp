#include "apps/common/stored_text_qt.h"

#include "platform/stored_text.h"

QString StoredTextToQString(std::string_view stored) {
    return QString::fromStdString(platform::StoredTextToUtf8(stored));
}

std::string StoredTextFromQString(std::string_view original, const QString& shown,
                                  const QString& edited) {
    return platform::StoredTextAfterEdit(original, shown.toStdString(), edited.toStdString());
}
