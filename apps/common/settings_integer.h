#pragma once
// Integer values of the programs' stored settings (INI files through QSettings). A value is
// read as decimal text in 64 bits and only then checked against the range its caller allows,
// so a stored number beyond int (Width=4294967312) is refused as the value it is instead of
// being narrowed into range first (read as 16). Any thread, on a QSettings it alone uses.

#include <QSettings>
#include <QString>

#include <cstdint>
#include <limits>
#include <optional>

// The stored value of `key` as a whole number (surrounding blanks allowed); nothing when it is
// missing, not a whole decimal number, or beyond 64 bits.
std::optional<std::int64_t> ReadSettingsInteger(const QSettings& settings, const QString& key);

// The stored value when it is a whole number within [low, high], else `fallback`.
int ReadSettingsInt(const QSettings& settings, const QString& key, int fallback,
                    int low = std::numeric_limits<int>::min(),
                    int high = std::numeric_limits<int>::max());
