#include "apps/common/settings_integer.h"

#include <QVariant>

std::optional<std::int64_t> ReadSettingsInteger(const QSettings& settings, const QString& key) {
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return std::nullopt;
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return std::int64_t{number};
}

int ReadSettingsInt(const QSettings& settings, const QString& key, int fallback, int low,
                    int high) {
    const std::optional<std::int64_t> number = ReadSettingsInteger(settings, key);
    if (!number || *number < low || *number > high)
        return fallback;
    return static_cast<int>(*number);
}
