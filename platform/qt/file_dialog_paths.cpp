#include "platform/qt/file_dialog_paths.h"

#include <sys/stat.h>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/path_text.h"
#include "platform/qt/dialog_folder.h"
#include "platform/qt/qt_backend.h"

namespace platform {

namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + '/' + name;
}

// The folder of a dialog given none: where Qt starts it (its last folder while that exists),
// else the current folder as bytes, which Qt cannot spell when they are not UTF-8.
std::string DefaultFolder(const QFileDialog& dialog) {
    const QString qtStart = dialog.directory().absolutePath();
    if (qtStart != QDir::currentPath() && QFileInfo(qtStart).isDir())
        return qtStart.toStdString();
    return GetCurrentDirectory();
}

// A dialog set up in its folder with its name proposed, and the bytes of its answers.
class DialogStart {
  public:
    DialogStart(QFileDialog& dialog, const std::string& folder, const std::string& name)
        : dialog_(dialog), place_(folder.empty() ? DefaultFolder(dialog) : folder) {
        if (!place_.Shown().isEmpty())
            dialog.setDirectory(place_.Shown());
        if (name.empty() || place_.Shown().isEmpty())
            return;
        const std::string shown = PathForDisplay(name);
        if (shown == name) {
            dialog.selectFile(QString::fromStdString(name));
            return;
        }
        // A name that is not UTF-8 is proposed as it is shown, unless an entry is spelled so:
        // the answer would then name either.
        const std::string file = Join(place_.Folder(), name);
        const std::string suffix =
            dialog.defaultSuffix().isEmpty() ? "" : '.' + dialog.defaultSuffix().toStdString();
        const std::string lookalike = Join(place_.Folder(), shown);
        if (Exists(lookalike) || (!suffix.empty() && Exists(lookalike + suffix)))
            return;
        const QString shownText = QString::fromStdString(shown);
        dialog.selectFile(shownText);
        proposed_ = QDir::cleanPath(place_.Shown() + QLatin1Char('/') + shownText);
        proposedFile_ = file;
        suffix_ = QString::fromStdString(suffix);
    }

    // The dialog keeps the folders it stood in, to offer them again and to store them in the
    // user's settings, and its last one to start the next dialog in. The private folder goes
    // now: a dialog left in it is left in none (Qt then keeps no last folder, and the next
    // dialog not told otherwise starts in the current one).
    ~DialogStart() {
        if (place_.IsPrivate(dialog_.directory().absolutePath()))
            dialog_.setDirectory(QString());
        QStringList history = dialog_.history();
        history.removeIf([this](const QString& path) { return place_.IsPrivate(path); });
        dialog_.setHistory(history);
    }
    DialogStart(const DialogStart&) = delete;
    DialogStart& operator=(const DialogStart&) = delete;

    // The bytes of the file `answer` names: the proposed name's where it is that name (with
    // the default suffix the dialog may have added), else as the DialogFolder maps it.
    std::optional<std::string> PathOf(const QString& answer) const {
        if (!proposed_.isEmpty() && QDir::isAbsolutePath(answer)) {
            const QString path = QDir::cleanPath(answer);
            const QString rest = path.mid(proposed_.size());
            if (path.startsWith(proposed_) && (rest.isEmpty() || rest == suffix_))
                return proposedFile_ + rest.toStdString();
        }
        return place_.PathOf(answer);
    }

  private:
    QFileDialog& dialog_;
    DialogFolder place_;
    QString proposed_;  // the proposed name that is not UTF-8, as the dialog names it
    std::string proposedFile_;
    QString suffix_;  // the default suffix the dialog adds to a name without one
};

}  // namespace

std::vector<std::string> RunOpenDialog(QFileDialog& dialog, const std::string& folder,
                                       const std::string& name) {
    const DialogStart start(dialog, folder, name);
    std::vector<std::string> paths;
    if (dialog.exec() != QDialog::Accepted)
        return paths;
    for (const QString& answer : dialog.selectedFiles()) {
        if (std::optional<std::string> path = start.PathOf(answer))
            paths.push_back(std::move(*path));
    }
    return paths;
}

std::optional<std::string> RunSaveDialog(QFileDialog& dialog, const std::string& folder,
                                         const std::string& name, std::string_view caption) {
    const DialogStart start(dialog, folder, name);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QString answer = dialog.selectedFiles().value(0);
    if (answer.isEmpty())
        return std::nullopt;
    QWidget* owner = dialog.parentWidget();
    const std::optional<std::string> path = start.PathOf(answer);
    if (!path) {
        MessageBoxOver(owner, kUnnamedSaveText, caption, MB_OK | MB_ICONWARNING);
        return std::nullopt;
    }
    // The dialog asked before replacing a file it could see; one it could not is asked here.
    const bool confirms = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
    if (confirms && Exists(*path) && !Exists(answer.toStdString())) {
        const std::string question =
            PathForDisplay(*path) + " already exists.\nDo you want to replace it?";
        if (MessageBoxOver(owner, question, caption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) !=
            IDYES)
            return std::nullopt;
    }
    return path;
}

}  // namespace platform
