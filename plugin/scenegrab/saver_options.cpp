#include "plugin/scenegrab/saver_options.h"

#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <limits>

#include "apps/common/settings_integer.h"
#include "plugin/scenegrab/plugin_ui.h"
#include "plugin/scenegrab/saver_options_dlg.h"

namespace scenegrab {

namespace {

constexpr const char* kSection = "LightWave Pan Plug-In";

// The largest multiple of 16 an int holds.
constexpr std::int64_t kLargestSide = std::numeric_limits<int>::max() / 16 * 16;

// Rounded up to a multiple of 16 and held to 0 .. kLargestSide.
int RoundUp16(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>((value + 15) / 16 * 16, 0, kLargestSide));
}

QString ValueKey(const char* name) {
    return QString::fromLatin1(kSection) + '/' + QString::fromLatin1(name);
}

int ReadValue(const char* name, int defaultValue) {
    QSettings settings(QString::fromStdString(SaverProfile::FilePath()), QSettings::IniFormat);
    return ReadSettingsInt(settings, ValueKey(name), defaultValue);
}

}  // namespace

PanoramaSize PanoramaSizeForFaces(int faceWidth, int faceHeight, bool aspect) {
    if (aspect) {
        const int height = RoundUp16(2 * std::int64_t{std::max(faceWidth, faceHeight)});
        return {RoundUp16(2 * std::int64_t{height}), height};
    }
    return {RoundUp16(4 * std::int64_t{faceWidth}), RoundUp16(2 * std::int64_t{faceHeight})};
}

std::optional<PanoramaSizeProblem> CheckPanoramaSize(PanoramaSize size) {
    const auto range = [](bool width, int low, int high) {
        return PanoramaSizeProblem{width,
                                   QStringLiteral("Please enter an integer between %1 and %2.")
                                       .arg(low)
                                       .arg(high)
                                       .toStdString()};
    };
    if (size.height < kMinPanoramaHeight || size.height > kMaxPanoramaHeight)
        return range(false, kMinPanoramaHeight, kMaxPanoramaHeight);
    if (size.width < kMinPanoramaWidth || size.width > kMaxPanoramaWidth)
        return range(true, kMinPanoramaWidth, kMaxPanoramaWidth);
    if (size.width % 16 != 0)
        return PanoramaSizeProblem{true, "The width must be a multiple of 16"};
    if (size.height % 16 != 0)
        return PanoramaSizeProblem{false, "The height must be a multiple of 16"};
    return std::nullopt;
}

int SaverProfile::ReadSuppress(int defaultValue) {
    return ReadValue("Suppress", defaultValue);
}

int SaverProfile::ReadAspect() {
    return ReadValue("Aspect", 1);
}

void SaverProfile::Write(int suppress, int aspect) {
    QSettings settings(QString::fromStdString(FilePath()), QSettings::IniFormat);
    settings.setValue(ValueKey("Suppress"), suppress);
    settings.setValue(ValueKey("Aspect"), aspect);
    settings.sync();
}

std::string SaverProfile::FilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
           "/Tavrin/Scenegrab.conf";
}

std::optional<SaverOptions> ShowSaverOptions(const SaverOptionsRequest& request) {
    SaverOptionsDlgValues values;
    values.suppress = SaverProfile::ReadSuppress(request.suppress ? 1 : 0) != 0;
    values.aspect = SaverProfile::ReadAspect() != 0;
    values.size = PanoramaSizeForFaces(request.faceWidth, request.faceHeight, values.aspect);
    values.sequence = request.sequence;
    if (PluginGuiAvailable()) {
        SaverOptionsDlg dialog(values);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        values = dialog.Values();
    }
    if (const std::optional<PanoramaSizeProblem> problem = CheckPanoramaSize(values.size)) {
        ShowMessage(problem->text);
        return std::nullopt;
    }
    SaverProfile::Write(values.suppress ? 1 : 0, values.aspect ? 1 : 0);
    return SaverOptions{values.size, values.suppress};
}

}  // namespace scenegrab
