#include "tests/apps/compactor/temp_config.h"

#include <QApplication>
#include <QSettings>
#include <cstdlib>
#include <random>

void TempConfigTest::SetUp() {
    std::random_device random;
    root_ = std::filesystem::temp_directory_path() /
            ("compactor-test-" + std::to_string(random()) + "-" + std::to_string(random()));
    config_ = root_ / "config";
    std::filesystem::create_directories(config_);
    if (const char* old = std::getenv("XDG_CONFIG_HOME"))
        savedConfigHome_ = old;
    setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
}

void TempConfigTest::TearDown() {
    if (savedConfigHome_) {
        setenv("XDG_CONFIG_HOME", savedConfigHome_->c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::optional<int> TempConfigTest::StoredValue(const std::string& relativeFile,
                                               const std::string& name) const {
    const std::filesystem::path file = config_ / relativeFile;
    if (!std::filesystem::exists(file))
        return std::nullopt;
    QSettings settings(QString::fromStdString(file.string()), QSettings::IniFormat);
    const QVariant value = settings.value(QString::fromStdString("Compression/" + name));
    if (!value.isValid())
        return std::nullopt;
    return value.toInt();
}

QApplication& TestApplication() {
    // Made once and kept to the end of the process: Qt cannot be torn down and set up again.
    static int argc = 1;
    static char name[] = "compactor_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}
