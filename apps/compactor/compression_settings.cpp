#include "apps/compactor/compression_settings.h"

#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <algorithm>

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
    return ReadValue("Codec", kDefaultCodec);
}

int CompressionSettings::ReadQuality() const {
    return std::clamp(ReadValue("Quality", kDefaultQuality), 0, 100);
}

int CompressionSettings::ReadThumbnail() const {
    return ReadValue("Thumbnail", kDefaultThumbnail);
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

int CompressionSettings::ReadValue(const char* name, int defaultValue) const {
    QSettings settings(QString::fromStdString(FilePath()), QSettings::IniFormat);
    bool ok = false;
    const int value = settings.value(ValueKey(name), defaultValue).toInt(&ok);
    return ok ? value : defaultValue;
}

void CompressionSettings::WriteValue(const char* name, int value) {
    QSettings settings(QString::fromStdString(FilePath()), QSettings::IniFormat);
    settings.setValue(ValueKey(name), value);
    settings.sync();
}
