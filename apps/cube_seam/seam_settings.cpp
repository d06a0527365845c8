#include "apps/cube_seam/seam_settings.h"

namespace {

constexpr int kStep = 16;
constexpr int kLargest = 16384;

int ReadDimension(QSettings& settings, const char* key, int fallback) {
    bool ok = false;
    const int value = settings.value(QStringLiteral("Seam/") + QLatin1String(key)).toInt(&ok);
    return ok && IsValidSeamDimension(value) ? value : fallback;
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
