#include "apps/compactor/compression_settings.h"

#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <optional>

#include "apps/common/settings_integer.h"
#include "apps/compactor/compression_codec.h"

namespace {

constexpr const char* kSection = "Compression";
constexpr const char* kProgramName = "Compactor";

QString ValueKey(const char* name) {
    return QString::fromLatin1(kSection) + '/' + QString::fromLatin1(name);
}

}  // namespace

void CompressionSettings::SetRegistryKey(std::string_view word) {
    key_ = "Tavrin\\";
    key_ += word;
}

std::string CompressionSettings::FilePath() const {
    std::string path =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
    std::string level;
    auto flushLevel = [&] {
        if (!level.empty() && level != "." && level != "..")
            path += '/' + level;
        level.clear();
    };
    for (char c : key_) {
        if (c == '\\' || c == '/') {
            flushLevel();
        } else {
            level += c;
        }
    }
    flushLevel();
    return path + '/' + kProgramName + ".conf";
}

int CompressionSettings::ReadCodec() const {
    const std::int64_t codec = ReadValue("Codec", kDefaultCodec);
    return codec >= 0 && codec < kCodecCount ? static_cast<int>(codec) : kUnknownCodec;
}

int CompressionSettings::ReadQuality() const {
    return static_cast<int>(
        std::clamp<std::int64_t>(ReadValue("Quality", kDefaultQuality), 0, 100));
}

int CompressionSettings::ReadThumbnail() const {
    return ReadValue("Thumbnail", kDefaultThumbnail) != 0 ? 1 : 0;
}

void CompressionSettings::WriteCodec(int codec) {
    WriteValue("Codec", codec);
}
void CompressionSettings::WriteQuality(int quality) {
    WriteValue("Quality", quality);
}
void CompressionSettings::WriteThumbnail(int thumbnail) {
    WriteValue("Thumbnail", thumbnail);
}

std::int64_t CompressionSettings::ReadValue(const char* name, int defaultValue) const {
    const QSettings settings(QString::fromStdString(FilePath()), QSettings::IniFormat);
    return ReadSettingsInteger(settings, ValueKey(name)).value_or(defaultValue);
}

void CompressionSettings::WriteValue(const char* name, int value) {
    QSettings settings(QString::fromStdString(FilePath()), QSettings::IniFormat);
    settings.setValue(ValueKey(name), value);
    settings.sync();
}
