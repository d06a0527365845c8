// Stored integers are read in 64 bits before their range is checked, so a number beyond int
// is refused as itself instead of being narrowed into range.

#include "apps/common/settings_integer.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>

namespace {

TEST(SettingsInteger, NumbersBeyondIntAreNotNarrowed) {
    const std::pair<const char*, int> cases[] = {
        {"16", 16},
        {" 1024 ", 1024},
        {"4294967312", 2048},  // 2^32 + 16
        {"-4294950912", 2048},
        {"18446744073709551632", 2048},
        {"1e3", 2048},
        {"", 2048},
    };
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("values.conf"));
    for (const auto& [stored, expected] : cases) {
        std::ofstream(path.toStdString(), std::ios::trunc) << "[Seam]\nWidth=" << stored << "\n";
        const QSettings settings(path, QSettings::IniFormat);
        EXPECT_EQ(ReadSettingsInt(settings, QStringLiteral("Seam/Width"), 2048, 16, 16384),
                  expected)
            << stored;
    }
}

}  // namespace
