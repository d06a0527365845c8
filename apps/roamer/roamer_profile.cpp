#include "apps/roamer/roamer_profile.h"

#include <QStandardPaths>

#include "apps/common/settings_integer.h"
#include "platform/path_text.h"

namespace {

constexpr const char* kRestore = "RESTORE";
constexpr const char* kBarState = "BarState";
constexpr const char* kRecentFileList = "Recent File List";
constexpr int kPlacementScale = 10000;

QString Key(const char* section, const QString& key) {
    return QString::fromLatin1(section) + QLatin1Char('/') + key;
}

}  // namespace

RoamerProfile::RoamerProfile(const QString& path) : settings_(path, QSettings::IniFormat) {}

QString RoamerProfile::DefaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Roamer.ini");
}

int RoamerProfile::ReadInt(const char* key, int fallback, int low, int high) const {
    return ReadSettingsInt(settings_, Key(kRestore, QString::fromLatin1(key)), fallback, low, high);
}

int RoamerProfile::Antialias() const {
    const int level = ReadInt("Aliasing", kDefaultAntialias, 0, 8);
    return level == 0 || level == 1 ? level : kDefaultAntialias;
}

void RoamerProfile::SetAntialias(int level) {
    settings_.setValue(Key(kRestore, QStringLiteral("Aliasing")), level);
}

int RoamerProfile::Freedoms() const {
    return ReadInt("Freedoms", kDefaultFreedoms, 0, 31);
}

void RoamerProfile::SetFreedoms(int freedoms) {
    settings_.setValue(Key(kRestore, QStringLiteral("Freedoms")), freedoms);
}

StoredPlacement RoamerProfile::Placement() const {
    const StoredPlacement placement{
        ReadInt("left", -1, 0, kPlacementScale), ReadInt("top", -1, 0, kPlacementScale),
        ReadInt("right", -1, 0, kPlacementScale), ReadInt("bottom", -1, 0, kPlacementScale)};
    if (placement.left < 0 || placement.top < 0 || placement.left >= placement.right ||
        placement.top >= placement.bottom) {
        return {};
    }
    return placement;
}

void RoamerProfile::SetPlacement(const StoredPlacement& placement, int showCommand) {
    settings_.setValue(Key(kRestore, QStringLiteral("showCmd")), showCommand);
    settings_.setValue(Key(kRestore, QStringLiteral("left")), placement.left);
    settings_.setValue(Key(kRestore, QStringLiteral("top")), placement.top);
    settings_.setValue(Key(kRestore, QStringLiteral("right")), placement.right);
    settings_.setValue(Key(kRestore, QStringLiteral("bottom")), placement.bottom);
}

QByteArray RoamerProfile::BarState() const {
    const QVariant value = settings_.value(Key(kBarState, QStringLiteral("Bars")));
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

bool RoamerProfile::StatusBarVisible() const {
    const QString value =
        settings_.value(Key(kBarState, QStringLiteral("StatusBar"))).toString().trimmed();
    return value != QStringLiteral("0") &&
           value.compare(QStringLiteral("false"), Qt::CaseInsensitive) != 0;
}

void RoamerProfile::SetBarState(const QByteArray& state, bool statusBarVisible) {
    settings_.setValue(Key(kBarState, QStringLiteral("Bars")), state);
    settings_.setValue(Key(kBarState, QStringLiteral("StatusBar")), statusBarVisible ? 1 : 0);
}

std::vector<std::string> RoamerProfile::RecentFiles() const {
    std::vector<std::string> paths;
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QVariant value =
            settings_.value(Key(kRecentFileList, QStringLiteral("File%1").arg(i)));
        const std::string path = value.typeId() == QMetaType::QByteArray
                                     ? value.toByteArray().toStdString()
                                     : value.toString().toStdString();
        if (!path.empty())
            paths.push_back(path);
    }
    return paths;
}

void RoamerProfile::SetRecentFiles(const std::vector<std::string>& paths) {
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString key = Key(kRecentFileList, QStringLiteral("File%1").arg(i));
        const auto index = static_cast<std::size_t>(i - 1);
        if (index >= paths.size()) {
            settings_.remove(key);
        } else if (platform::IsUtf8(paths[index])) {
            settings_.setValue(key, QString::fromStdString(paths[index]));
        } else {
            // Text cannot carry these bytes; a byte value ("@ByteArray(...)") keeps them.
            settings_.setValue(key, QByteArray::fromStdString(paths[index]));
        }
    }
}

bool RoamerProfile::Sync() {
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}
