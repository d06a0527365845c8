// Stored integers are read in 64 bits before their range is checked, so a number beyond int
// is refused as itself instead of being narrowed into range.

#include "apps/common/settings_integer.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <string>

namespace {

TEST(SettingsInteger, NumbersBeyondIntAreNotNarrowed) {
    struct Case {
        const char* stored;  // null: no value
        std::optional<std::int64_t> integer;
        int asInt;  // in 16..16384, fallback 2048
    };
    const Case cases[] = {
        {nullptr, std::nullopt, 2048},
        {"16", 16, 16},
        {" 1024 ", 1024, 1024},
        {"4294967312", 4294967312, 2048},    // 2^32 + 16
        {"-4294950912", -4294950912, 2048},  // -2^32 + 16384
        {"9223372036854775807", INT64_MAX, 2048},
        {"9223372036854775808", std::nullopt, 2048},
        {"18446744073709551632", std::nullopt, 2048},  // 2^64 + 16
        {"1e3", std::nullopt, 2048},
        {"0x10", std::nullopt, 2048},
        {"", std::nullopt, 2048},
    };
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("values.conf"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "none");
        {
            std::ofstream file(path.toStdString(), std::ios::trunc);
            file << "[Seam]\n";
            if (c.stored)
                file << "Width=" << c.stored << "\n";
        }
        const QSettings settings(path, QSettings::IniFormat);
        const QString key = QStringLiteral("Seam/Width");
        EXPECT_EQ(ReadSettingsInteger(settings, key), c.integer);
        EXPECT_EQ(ReadSettingsInt(settings, key, 2048, 16, 16384), c.asInt);
    }
}

}  // namespace
