#include "apps/cube_seam/seam_settings.h"

#include "apps/common/settings_integer.h"

namespace {

constexpr int kStep = 16;
constexpr int kLargest = 16384;

int ReadDimension(QSettings& settings, const char* key, int fallback) {
    const int value = ReadSettingsInt(settings, QStringLiteral("Seam/") + QLatin1String(key), 0);
    return IsValidSeamDimension(value) ? value : fallback;
}

}  // namespace

bool IsValidSeamDimension(int value) {
    return value >= kStep && value <= kLargest && value % kStep == 0;
}

SeamSize ReadSeamSize(QSettings& settings) {
    const SeamSize defaults;
    return {ReadDimension(settings, "Width", defaults.width),
            ReadDimension(settings, "Height", defaults.height)};
}
