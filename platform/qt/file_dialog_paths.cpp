#include "platform/qt/file_dialog_paths.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>

#include <algorithm>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/path_text.h"
#include "platform/qt/qt_backend.h"

namespace platform {

namespace {

std::string Bytes(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Whether `shown` or a folder above it that holds U+FFFD exists under its UTF-8 spelling: the
// dialog may then have shown that entry rather than the start it was given.
bool SpellsAnExistingEntry(QString shown) {
    while (shown.contains(QChar::ReplacementCharacter)) {
        if (Exists(Bytes(shown)))
            return true;
        const qsizetype slash = shown.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            break;
        shown.truncate(slash);
    }
    return false;
}

// The nearest folder at or above `folder` that a dialog can show: one that exists and whose
// name is UTF-8. Empty when there is none.
std::string ShowableFolder(std::string folder) {
    while (!folder.empty() && !(IsUtf8(folder) && IsFolder(folder))) {
        const std::string parent = ParentDirectory(folder);
        if (parent == folder)
            return {};
        folder = parent;
    }
    return folder;
}

}  // namespace

QString DialogPath(std::string_view path) {
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}

std::optional<std::string> PathOfDialogAnswer(const QString& answer,
                                              std::span<const std::string> starts) {
    const std::string* start = nullptr;
    QString startShown;
    for (const std::string& candidate : starts) {
        if (candidate.empty() || IsUtf8(candidate))
            continue;
        const QString shown = DialogPath(candidate);
        const bool inside = answer == shown || answer.startsWith(shown + QLatin1Char('/'));
        if (inside && shown.size() > startShown.size()) {
            start = &candidate;
            startShown = shown;
        }
    }
    if (start == nullptr) {
        const std::string bytes = Bytes(answer);
        if (!answer.contains(QChar::ReplacementCharacter) || Exists(bytes))
            return bytes;
        const qsizetype slash = answer.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0 || answer.mid(slash).contains(QChar::ReplacementCharacter) ||
            !IsFolder(Bytes(answer.left(slash))))
            return std::nullopt;
        return bytes;
    }
    const QString rest = answer.mid(startShown.size());
    if (rest.contains(QChar::ReplacementCharacter) || SpellsAnExistingEntry(startShown))
        return std::nullopt;
    return *start + Bytes(rest);
}

std::optional<std::string> RunSaveDialog(QFileDialog& dialog, const std::string& folder,
                                         const std::string& name, std::string_view caption) {
    const std::string shown = ShowableFolder(folder);
    std::string rest = folder.substr(std::min(shown.size(), folder.size()));
    if (!rest.empty() && rest.front() == '/')
        rest.erase(0, 1);
    if (!rest.empty())
        rest += '/';
    if (!shown.empty())
        dialog.setDirectory(DialogPath(shown));
    if (!rest.empty() || !name.empty())
        dialog.selectFile(DialogPath(rest + name));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QString answer = dialog.selectedFiles().value(0);
    if (answer.isEmpty())
        return std::nullopt;
    QWidget* owner = dialog.parentWidget();
    const std::string starts[] = {folder, folder == "/" ? folder + name : folder + '/' + name};
    // A dialog that could name no folder answers relative to none the user saw.
    const std::optional<std::string> path =
        QDir::isAbsolutePath(answer) ? PathOfDialogAnswer(answer, starts) : std::nullopt;
    if (!path) {
        MessageBoxOver(owner, kUnnamedSaveText, caption, MB_OK | MB_ICONWARNING);
        return std::nullopt;
    }
    // The dialog asked before replacing only a file spelled as its answer; one it could not
    // see is asked about here.
    const bool confirms = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
    if (confirms && *path != Bytes(answer) && Exists(*path)) {
        const std::string question =
            PathForDisplay(*path) + " already exists.\nDo you want to replace it?";
        if (MessageBoxOver(owner, question, caption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) !=
            IDYES)
            return std::nullopt;
    }
    return path;
}

}  // namespace platform
