// Paths between Qt and the file system kept as bytes: dropped addresses, and the answers of
// file dialogs started in a folder or at a file whose name is not UTF-8.

#include <gtest/gtest.h>

#include <unistd.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QSettings>
#include <QTimer>
#include <QUrl>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/path_text.h"
#include "platform/qt/dialog_folder.h"
#include "platform/qt/file_dialog_paths.h"
#include "platform/qt/qt_paths.h"
#include "tests/platform/qt/qt_test_app.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(FileNameBytes, DroppedAddressesGiveTheBytesTheyEncode) {
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"),
                 "file:///t/Tour%E9/caf%E9.pan\r\n"
                 "https://example.com/a.pan\r\n"
                 "file:///t/caf%C3%A9%20x.pan\r\n"
                 "file://localhost/t/a.pan\r\n");
    EXPECT_EQ(
        DroppedLocalPaths(&data),
        (std::vector<std::string>{"/t/Tour\xe9/caf\xe9.pan", "/t/caf\xc3\xa9 x.pan", "/t/a.pan"}));
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/t/caf\u00e9.pan"))});
    EXPECT_EQ(DroppedLocalPaths(&data), (std::vector<std::string>{"/t/caf\xc3\xa9.pan"}));
    EXPECT_TRUE(DroppedLocalPaths(nullptr).empty());
}

// Runs `run` on a new non-native file dialog and answers the dialog once it is up: checks it
// stands in `folder`, keeps the name it proposes in `shown`, types `typed` (unless empty) and
// accepts. The dialog is gone on return, so Qt has stored the places it remembers.
template <typename Run>
auto Answered(const std::string& folder, const std::string& typed, QString* shown, Run run) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QTimer::singleShot(0, &dialog, [&] {
        std::error_code error;
        EXPECT_TRUE(fs::equivalent(dialog.directory().absolutePath().toStdString(), folder, error))
            << PathForDisplay(folder);
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (shown != nullptr)
            *shown = edit->text();
        if (!typed.empty())
            edit->setText(QString::fromStdString(typed));
        QMetaObject::invokeMethod(&dialog, "accept", Qt::QueuedConnection);
    });
    return run(dialog);
}

// A folder of the test's own for Qt's stored settings, the temporary folder, and the folders
// "Tour\xe9" and "plain", each holding "caf\xe9.pan"; batch mode answers every question No.
class FileDialogNames : public testing::Test {
  protected:
    void SetUp() override {
        EnsureQtTestApp();
        SetBatchMode(true);
        ASSERT_NE(::mkdtemp(work_.data()), nullptr);
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, QString::fromStdString(work_));
        for (const std::string& folder :
             {temp_ = work_ + "/tmp", tour_ = work_ + "/Tour\xe9", plain_ = work_ + "/plain"})
            fs::create_directory(folder);
        for (const std::string& folder : {tour_, plain_})
            std::ofstream(folder + "/caf\xe9.pan") << "old";
        ::setenv("TMPDIR", temp_.c_str(), 1);
    }
    void TearDown() override {
        ::setenv("TMPDIR", oldTemp_.c_str(), 1);
        SetCurrentDirectory(oldCurrent_);
        SetBatchMode(false);
        fs::remove_all(work_);
    }
    // Whether Qt's dialogs stored a private folder in the settings, to offer or start in again.
    static bool StoredAPrivateFolder() {
        QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
        return (settings.value("FileDialog/history").toStringList().join(u' ') + u' ' +
                settings.value("FileDialog/lastVisited").toString())
            .contains(QStringLiteral("/halvex-dialog-"));
    }

    const std::string oldTemp_ = GetTempPath();
    const std::string oldCurrent_ = GetCurrentDirectory();
    std::string work_ = (fs::temp_directory_path() / "halvex-names-XXXXXX").string();
    std::string temp_, tour_, plain_;
};

// A dialog started in a folder whose path is not UTF-8 stands in it through a link of a private
// folder and maps every answer back onto its bytes; one started in a UTF-8 folder is given it
// as it is; an open dialog given no folder starts in the current one. The private folder is gone
// once the dialog returns, and Qt stores it nowhere.
TEST_F(FileDialogNames, DialogsGiveTheFileTheUserChoseWhateverTheFolderBytes) {
    const std::string other = work_ + "/other/c.pan";
    fs::create_directory(work_ + "/other");
    const std::string replace = "already exists.\nDo you want to replace it?";
    const struct {
        const char* proposed;
        std::string typed;  // empty: the proposed name is kept
        // Per start, "Tour\xe9" and "plain": the file chosen and the message shown.
        std::optional<std::string> chosen[2];
        std::string said[2];
    } answers[] = {
        {"n\xe9.pan", "", {tour_ + "/n\xe9.pan", plain_ + "/n\xe9.pan"}, {}},
        // A file the dialog cannot see: replacing it is asked here.
        {"caf\xe9.pan", "", {}, {replace, replace}},
        {"caf\xe9.pan", "b.pan", {tour_ + "/b.pan", plain_ + "/b.pan"}, {}},
        {"caf\xe9.pan", other, {other, other}, {}},
        // One level up from the link is the private folder.
        {"caf\xe9.pan", "../d.pan", {std::nullopt, work_ + "/d.pan"}, {"Nothing was saved", ""}},
    };
    for (std::size_t s = 0; s < 2; ++s) {
        const std::string& start = s == 0 ? tour_ : plain_;
        ASSERT_TRUE(SetCurrentDirectory(start));
        for (const std::string& given : {std::string(), start}) {
            SCOPED_TRACE("open in " + PathForDisplay(given));
            EXPECT_EQ(Answered(start, "a.pan", nullptr,
                               [&](QFileDialog& dialog) { return RunOpenDialog(dialog, given); }),
                      std::vector<std::string>{start + "/a.pan"});
            EXPECT_FALSE(StoredAPrivateFolder());
        }
        for (const auto& answer : answers) {
            SCOPED_TRACE(PathForDisplay(start + " " + answer.typed));
            QString shown;
            testing::internal::CaptureStderr();
            const std::optional<std::string> path =
                Answered(start, answer.typed, &shown, [&](QFileDialog& dialog) {
                    dialog.setAcceptMode(QFileDialog::AcceptSave);
                    return RunSaveDialog(dialog, start, answer.proposed, "Linksmith");
                });
            const std::string said = testing::internal::GetCapturedStderr();
            EXPECT_EQ(shown.toStdString(), PathForDisplay(answer.proposed));
            EXPECT_EQ(path, answer.chosen[s]);
            EXPECT_NE(said.find(answer.said[s]), std::string::npos) << said;
            EXPECT_TRUE(fs::is_empty(temp_));
            EXPECT_FALSE(StoredAPrivateFolder());
        }
    }
}

// A process killed while its dialog was up leaves its private folder: the next dialog that
// needs one removes it with its link, never what the link points at nor a running process's.
TEST_F(FileDialogNames, ADialogRemovesThePrivateFoldersOfEndedProcesses) {
    const std::string stale = temp_ + "/halvex-dialog-4194304-Ab12Cd";  // beyond any pid_max
    const std::string live = temp_ + "/halvex-dialog-" + std::to_string(::getppid()) + "-Ab12Cd";
    for (const std::string& left : {stale, live}) {
        fs::create_directory(left);
        fs::create_directory_symlink(tour_, left + "/Tour\\xe9");
    }
    DialogFolder{tour_};
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live + "/Tour\\xe9/caf\xe9.pan"));
    EXPECT_TRUE(fs::exists(tour_ + "/caf\xe9.pan"));
}

}  // namespace
}  // namespace platform
