// Linksmith with folders and a panorama named in Windows-1252, as unpacked from an old archive:
// opened from the command line and saved with Save As, which stands in the open file's folder
// (through a link of its own) with its name proposed as it is shown, and writes there.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <filesystem>
#include <set>
#include <string>

#include "apps/linksmith/linksmith_app.h"
#include "apps/linksmith/linksmith_frame.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/qt/qt_backend.h"
#include "tests/apps/linksmith/headless_frame.h"
#include "tests/apps/linksmith/qt_test_app.h"

namespace {

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

class LinksmithNamesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        backend_.Install();
        platform::SetBatchMode(true);
        ASSERT_TRUE(std::filesystem::create_directories(scene_));
        WriteFileBytes(scene_ + "/caf\xe9.pan", CompactorPanorama());
        // Started in the folder above, as by a user who unpacked it there; the file dialog keeps
        // its state in the user's settings, here in a folder of the test's.
        ASSERT_TRUE(platform::SetCurrentDirectory(folder_));
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, settings_.Path().c_str());
    }
    void TearDown() override {
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(
                format, QSettings::UserScope,
                QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        platform::SetCurrentDirectory(saved_);
        platform::SetBatchMode(false);
    }

    platform::QtBackend backend_;
    const std::string saved_ = platform::GetCurrentDirectory();
    TempFolder root_;
    TempFolder settings_;
    const std::string folder_ = (root_ / "Tour\xe9").string();
    const std::string scene_ = folder_ + "/Sc\xe8ne";
};

TEST_F(LinksmithNamesTest, OpensFromTheCommandLineAndSavesAsWhereTheUserChose) {
    CLinksmithApp app;
    ASSERT_TRUE(app.InitInstance({"Sc\xe8ne/caf\xe9.pan"}));
    ASSERT_EQ(app.MainFrame()->Editor().State().panoramaPath, scene_ + "/caf\xe9.pan");
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        EXPECT_EQ(name->text(), QStringLiteral("caf\\xe9.pan"));
        name->setText("b.pan");
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    app.MainFrame()->Command(kCmdFileSaveAs)->trigger();
    EXPECT_EQ(Names(folder_), std::set<std::string>{"Sc\xe8ne"});
    EXPECT_EQ(Names(scene_), (std::set<std::string>{"caf\xe9.pan", "b.pan"}));
}

}  // namespace
