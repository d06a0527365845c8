#include "apps/cubestitch/seam_settings.h"

#include <QSettings>
#include <QStandardPaths>
#include <QString>

#include "apps/common/settings_integer.h"

namespace cubestitch {

namespace {

QString ValueKey(const char* name) {
    return QStringLiteral("Seam/") + QString::fromLatin1(name);
}

}  // namespace

SeamSettings::SeamSettings()
    : filePath_(
          QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
          "/Tavrin/Cubestitch.conf") {}

int SeamSettings::ReadWidth() const {
    return ReadValue("Width", kDefaultWidth);
}
int SeamSettings::ReadHeight() const {
    return ReadValue("Height", kDefaultHeight);
}
int SeamSettings::ReadAspect() const {
    return ReadValue("Aspect", kDefaultAspect);
}

bool SeamSettings::WriteWidth(int width) {
    return WriteValue("Width", width);
}
bool SeamSettings::WriteHeight(int height) {
    return WriteValue("Height", height);
}
bool SeamSettings::WriteAspect(int aspect) {
    return WriteValue("Aspect", aspect);
}

int SeamSettings::ReadValue(const char* name, int defaultValue) const {
    const QSettings settings(QString::fromStdString(filePath_), QSettings::IniFormat);
    return ReadSettingsInt(settings, ValueKey(name), defaultValue);
}

bool SeamSettings::WriteValue(const char* name, int value) {
    QSettings settings(QString::fromStdString(filePath_), QSettings::IniFormat);
    settings.setValue(ValueKey(name), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace cubestitch
