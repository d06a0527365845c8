// Linksmith with a folder and a panorama named in Windows-1252, as unpacked from an old
// archive: opened from the command line and saved with Save As, which starts at the open file
// and writes only where the user chose.

#include <gtest/gtest.h>

#include <unistd.h>

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
#include <system_error>

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
        ASSERT_TRUE(std::filesystem::create_directory(folder_));
        WriteFileBytes(file_, CompactorPanorama());
        // Started inside the folder, as by a user who unpacked it there.
        ASSERT_TRUE(platform::SetCurrentDirectory(folder_));
        // The file dialog keeps its state in the user's settings: here in a folder of the test's.
        SetUserSettingsFolder(QString::fromStdString(settings_.Path().string()));
    }
    void TearDown() override {
        SetUserSettingsFolder(
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        platform::SetCurrentDirectory(saved_);
        platform::SetBatchMode(false);
    }
    static void SetUserSettingsFolder(const QString& folder) {
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, folder);
    }

    platform::QtBackend backend_;
    const std::string saved_ = platform::GetCurrentDirectory();
    TempFolder root_;
    TempFolder settings_;
    const std::string folder_ = (root_ / "Tour\xe9").string();
    const std::string file_ = folder_ + "/caf\xe9.pan";
};

TEST_F(LinksmithNamesTest, OpensFromTheCommandLineAndSavesAsOnlyWhereTheUserChose) {
    CLinksmithApp app;
    ASSERT_TRUE(app.InitInstance({"caf\xe9.pan"}));
    ASSERT_EQ(app.MainFrame()->Editor().State().panoramaPath, file_);

    // Save As stands in the open file's folder, "Tour\xe9" too (through a link of its own), with
    // the open file's name proposed as it is shown.
    const std::string root = root_.Path().string();
    const std::string plain = root + "/plain";
    const std::string plainFile = plain + "/caf\xe9.pan";
    ASSERT_TRUE(std::filesystem::create_directory(plain));
    WriteFileBytes(plainFile, CompactorPanorama());
    const Bytes original = ReadFileBytes(file_);
    const struct {
        const char* name;
        const std::string& open;
        QString typed;  // empty: what is shown is kept
        const char* said;
    } cases[] = {
        {"a new name", file_, "b.pan", ""},
        // The dialog cannot see the open file, so replacing it is asked about here; the
        // unattended answer is No.
        {"the open file", file_, "", "already exists.\nDo you want to replace it?"},
        {"a folder the dialog can show", plainFile, "d.pan", ""},
    };
    for (const auto& c : cases) {
        app.MainFrame()->Editor().OpenPanoramaForEditing(c.open);
        app.MainFrame()->UpdateCommandStates();
        bool inFolder = false;
        QString shownName;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr)
                return;
            poll.stop();
            std::error_code error;
            inFolder = std::filesystem::equivalent(dialog->directory().absolutePath().toStdString(),
                                                   platform::ParentDirectory(c.open), error);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            shownName = name->text();
            if (!c.typed.isEmpty())
                name->setText(c.typed);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        poll.start(20);
        testing::internal::CaptureStderr();
        app.MainFrame()->Command(kCmdFileSaveAs)->trigger();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(inFolder) << c.name;
        EXPECT_EQ(shownName, QStringLiteral("caf\\xe9.pan")) << c.name;
        EXPECT_NE(said.find(c.said), std::string::npos) << c.name << ": " << said;
    }
    EXPECT_EQ(Names(root), (std::set<std::string>{"Tour\xe9", "plain"}));
    EXPECT_EQ(Names(folder_), (std::set<std::string>{"caf\xe9.pan", "b.pan"}));
    EXPECT_EQ(Names(plain), (std::set<std::string>{"caf\xe9.pan", "d.pan"}));
    EXPECT_EQ(ReadFileBytes(file_), original);
    // The dialog's private folder went with it.
    const std::string mine = "halvex-dialog-" + std::to_string(::getpid()) + "-";
    for (const std::string& name : Names(platform::GetTempPath()))
        EXPECT_FALSE(name.starts_with(mine)) << name;
}

}  // namespace
