// Paths between Qt and the file system kept as bytes: dropped addresses, and the answers of
// file dialogs started in a folder or at a file whose name is not UTF-8.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMimeData>
#include <QSettings>
#include <QTimer>
#include <QUrl>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <system_error>
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

// A folder of the test's own, removed with what it holds.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "halvex-names-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string Path() const { return path_.string(); }

  private:
    fs::path path_;
};

// Every path under `root`, relative to it; a link is listed, not followed.
std::set<std::string> Tree(const std::string& root) {
    std::set<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        paths.insert(entry.path().lexically_relative(root).string());
    return paths;
}

// The names the dialog lists in the folder it stands in.
std::set<std::string> Listed(const QFileDialog& dialog) {
    std::set<std::string> names;
    const auto* model = dialog.findChild<QFileSystemModel*>();
    const QModelIndex folder = model->index(dialog.directory().absolutePath());
    for (int row = 0; row < model->rowCount(folder); ++row)
        names.insert(model->fileName(model->index(row, 0, folder)).toStdString());
    return names;
}

// The folders Qt's file dialogs stored in the user's settings, to offer again and start in, as
// one text.
QString StoredPlaces() {
    QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
    return settings.value("FileDialog/history").toStringList().join(u' ') + u' ' +
           settings.value("FileDialog/lastVisited").toString();
}

// Acts on the next file dialog once it is up and lists `expected`; cancels it when it does not
// within ten seconds (a broken build then fails instead of hanging).
void OnNextDialog(const std::set<std::string>& expected, std::function<void(QFileDialog&)> act) {
    auto* poll = new QTimer;
    auto* waited = new QElapsedTimer;
    waited->start();
    QObject::connect(poll, &QTimer::timeout, [=] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        const std::set<std::string> listed = Listed(*dialog);
        if (listed != expected && !waited->hasExpired(10000))
            return;
        poll->stop();
        poll->deleteLater();
        delete waited;
        EXPECT_EQ(listed, expected);
        if (listed == expected)
            act(*dialog);
        else
            dialog->reject();
    });
    poll->start(10);
}

// A save dialog started in a folder whose path is not UTF-8 stands in it through a link of a
// private folder, lists its UTF-8 files and maps every answer back onto its bytes; one started
// in a UTF-8 folder is given it as it is. Either way the file written is the one the user
// chose, nothing is written elsewhere, and the private folder is gone once the dialog returns.
TEST(FileNameBytes, SaveDialogsWriteWhereTheUserChoseWhateverTheFolderBytes) {
    EnsureQtTestApp();
    SetBatchMode(true);
    ScratchFolder work;
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QString::fromStdString(work.Path()));
    const std::string temp = work.Path() + "/tmp";
    const std::string root = work.Path() + "/case";
    fs::create_directory(temp);
    const std::string oldTemp = GetTempPath();
    ::setenv("TMPDIR", temp.c_str(), 1);

    const char* const starts[] = {"Tour\xe9", "plain"};
    const std::string cancel = "\x01";
    const std::string replace = "already exists.\nDo you want to replace it?";
    const std::string refused = "Nothing was saved";
    const struct {
        const char* name;
        const char* proposed;
        std::string typed;  // empty: what the dialog proposes is kept; "/...": under the root
        // Per start: the file written (under the root), empty for none, and the message.
        std::array<std::string, 2> written;
        std::array<std::string, 2> said;
    } answers[] = {
        {"the proposed name", "n\xe9.pan", "", {"Tour\xe9/n\xe9.pan", "plain/n\xe9.pan"}, {}},
        {"the proposed name of a file it cannot see", "caf\xe9.pan", "", {}, {replace, replace}},
        {"a typed bare name", "caf\xe9.pan", "b.pan", {"Tour\xe9/b.pan", "plain/b.pan"}, {}},
        {"a path elsewhere", "caf\xe9.pan", "/other/c.pan", {"other/c.pan", "other/c.pan"}, {}},
        {"a name typed one level up", "caf\xe9.pan", "../d.pan", {"", "d.pan"}, {refused, ""}},
        {"cancel", "caf\xe9.pan", cancel, {}, {}},
    };
    const std::vector<std::string> files{"a.pan", "caf\xe9.pan", "caf\xc3\xa9.pan"};
    const std::set<std::string> visible{"a.pan", "caf\xc3\xa9.pan"};
    for (std::size_t s = 0; s < 2; ++s) {
        for (const auto& answer : answers) {
            const std::string caseName = PathForDisplay(starts[s]) + ", " + answer.name;
            const std::string folder = root + '/' + starts[s];
            fs::create_directories(root + "/other");
            fs::create_directory(folder);
            for (const std::string& file : files)
                std::ofstream(folder + '/' + file) << "old";
            std::set<std::string> tree = Tree(root);
            if (!answer.written[s].empty())
                tree.insert(answer.written[s]);

            QString shownName;
            OnNextDialog(visible, [&](QFileDialog& dialog) {
                auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                shownName = edit->text();
                if (answer.typed == cancel) {
                    dialog.reject();
                    return;
                }
                if (!answer.typed.empty())
                    edit->setText(QString::fromStdString(
                        answer.typed.starts_with('/') ? root + answer.typed : answer.typed));
                QMetaObject::invokeMethod(&dialog, "accept", Qt::QueuedConnection);
            });
            auto dialog = std::make_unique<QFileDialog>(nullptr, QStringLiteral("Save As"));
            dialog->setOption(QFileDialog::DontUseNativeDialog);
            dialog->setAcceptMode(QFileDialog::AcceptSave);
            testing::internal::CaptureStderr();
            const std::optional<std::string> path =
                RunSaveDialog(*dialog, folder, answer.proposed, "Linksmith");
            const std::string said = testing::internal::GetCapturedStderr();
            dialog.reset();
            if (path && path->starts_with(root + '/'))  // a wrong answer is written nowhere
                std::ofstream(*path) << "new";

            EXPECT_EQ(shownName.toStdString(), PathForDisplay(answer.proposed)) << caseName;
            EXPECT_EQ(path, answer.written[s].empty()
                                ? std::nullopt
                                : std::optional(root + '/' + answer.written[s]))
                << caseName;
            EXPECT_EQ(Tree(root), tree) << caseName;
            for (const std::string& file : files) {
                std::ifstream in(folder + '/' + file);
                EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old") << caseName;
            }
            for (const std::string& message : {replace, refused})
                EXPECT_EQ(said.find(message) != std::string::npos, message == answer.said[s])
                    << caseName << ": " << said;
            EXPECT_TRUE(fs::is_empty(temp)) << caseName;
            EXPECT_FALSE(StoredPlaces().contains(QStringLiteral("/halvex-dialog-"))) << caseName;
            fs::remove_all(root);
        }
    }
    ::setenv("TMPDIR", oldTemp.c_str(), 1);
    SetBatchMode(false);
}

// An open dialog given no folder starts in the current one as Qt would, and one given a folder
// in that, whatever their bytes, and gives the chosen file's bytes.
TEST(FileNameBytes, OpenDialogsStartInTheirFolderWhateverItsBytes) {
    EnsureQtTestApp();
    ScratchFolder work;
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QString::fromStdString(work.Path()));
    const std::string folder = work.Path() + "/Tour\xe9";
    fs::create_directory(folder);
    for (const char* file : {"a.pan", "caf\xe9.pan"})
        std::ofstream(folder + '/' + file) << "old";
    const std::string saved = GetCurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectory(folder));
    for (const std::string& given : {std::string(), folder}) {
        OnNextDialog({"a.pan"}, [](QFileDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("a.pan");
            QMetaObject::invokeMethod(&dialog, "accept", Qt::QueuedConnection);
        });
        {
            QFileDialog dialog(nullptr, QStringLiteral("Open"));
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            dialog.setFileMode(QFileDialog::ExistingFile);
            EXPECT_EQ(RunOpenDialog(dialog, given), std::vector<std::string>{folder + "/a.pan"})
                << given;
        }
        EXPECT_FALSE(StoredPlaces().contains(QStringLiteral("/halvex-dialog-"))) << given;
    }
    SetCurrentDirectory(saved);
}

// A process killed while its dialog was up leaves its private folder: the next dialog that
// needs one removes it with its link, never what the link points at nor a running process's.
TEST(FileNameBytes, ADialogRemovesThePrivateFoldersOfEndedProcesses) {
    ScratchFolder work;
    const std::string temp = work.Path() + "/tmp";
    const std::string folder = work.Path() + "/Tour\xe9";
    fs::create_directory(temp);
    fs::create_directory(folder);
    std::ofstream(folder + "/a.pan") << "old";
    const std::string oldTemp = GetTempPath();
    ::setenv("TMPDIR", temp.c_str(), 1);
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const std::string stale = temp + "/halvex-dialog-" + std::to_string(ended) + "-Ab12Cd";
    const std::string live = temp + "/halvex-dialog-" + std::to_string(::getppid()) + "-Ab12Cd";
    for (const std::string& left : {stale, live}) {
        fs::create_directory(left);
        fs::create_directory_symlink(folder, left + "/Tour\\xe9");
    }
    {
        const DialogFolder place(folder);
        EXPECT_FALSE(fs::exists(stale));
        EXPECT_TRUE(fs::exists(live + "/Tour\\xe9/a.pan"));
        EXPECT_TRUE(fs::exists(folder + "/a.pan"));
    }
    const std::string liveName = fs::path(live).filename().string();
    EXPECT_EQ(Tree(temp), (std::set<std::string>{liveName, liveName + "/Tour\\xe9"}));
    ::setenv("TMPDIR", oldTemp.c_str(), 1);
}

}  // namespace
}  // namespace platform
