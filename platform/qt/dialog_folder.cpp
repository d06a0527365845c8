#include "platform/qt/dialog_folder.h"

#include <unistd.h>

#include <QDir>

#include <charconv>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/files.h"
#include "platform/path_text.h"

namespace platform {

namespace {

constexpr std::string_view kPrefix = "halvex-dialog-";
// The characters mkdtemp puts in place of "XXXXXX".
constexpr std::size_t kUniqueLength = 6;

// The process id in a private folder's name ("halvex-dialog-", the id in decimal, "-", the six
// characters mkdtemp chose); nothing for any other name.
std::optional<std::uint32_t> DialogFolderProcess(std::string_view name) {
    if (!name.starts_with(kPrefix))
        return std::nullopt;
    name.remove_prefix(kPrefix.size());
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || dash == 0 || name.front() == '0' ||
        name.size() - dash - 1 != kUniqueLength)
        return std::nullopt;
    std::uint32_t pid = 0;
    const auto [end, fault] = std::from_chars(name.data(), name.data() + dash, pid);
    if (fault != std::errc() || end != name.data() + dash)
        return std::nullopt;
    return pid;
}

// The name of the link: the folder's last part as it is shown, cut on a character boundary to
// what one name may hold (each odd byte takes four characters).
std::string LinkName(std::string_view lastPart) {
    const std::string shown = PathForDisplay(lastPart);
    std::size_t end = 0;
    while (end < shown.size()) {
        const std::size_t length = Utf8SequenceLength(shown, end);
        if (length == 0 || end + length > NAME_MAX)
            break;
        end += length;
    }
    return shown.substr(0, end);
}

bool Within(const QString& path, const QString& place) {
    return path == place || (path.startsWith(place) && path.at(place.size()) == QLatin1Char('/'));
}

}  // namespace

DialogFolder::DialogFolder(std::string folder) : folder_(std::move(folder)) {
    while (folder_.size() > 1 && folder_.back() == '/')
        folder_.pop_back();
    if (IsUtf8(folder_)) {
        shown_ = QString::fromStdString(folder_);
        return;
    }
    RemoveFoldersOfEndedProcesses(DialogFolderProcess);
    std::string made = GetTempPath() + std::string(kPrefix) + std::to_string(CurrentProcessId()) +
                       '-' + std::string(kUniqueLength, 'X');
    if (::mkdtemp(made.data()) == nullptr)
        return;
    private_ = std::move(made);
    const std::string link = private_ + '/' + LinkName(folder_.substr(folder_.rfind('/') + 1));
    if (::symlink(folder_.c_str(), link.c_str()) != 0)
        return;
    shown_ = QDir::cleanPath(QString::fromStdString(link));
    privateShown_ = QDir::cleanPath(QString::fromStdString(private_));
}

DialogFolder::~DialogFolder() {
    if (private_.empty())
        return;
    // The dialog may have made folders in it ("Create New Folder"); remove_all takes the link
    // away without following it.
    std::error_code ignored;
    std::filesystem::remove_all(private_, ignored);
}

std::optional<std::string> DialogFolder::PathOf(const QString& answer) const {
    if (!QDir::isAbsolutePath(answer))
        return std::nullopt;
    const QString path = QDir::cleanPath(answer);
    if (!privateShown_.isEmpty()) {
        if (Within(path, shown_))
            return folder_ + path.mid(shown_.size()).toStdString();
        if (Within(path, privateShown_))
            return std::nullopt;
    }
    return path.toStdString();
}

bool DialogFolder::IsPrivate(const QString& path) const {
    return !privateShown_.isEmpty() && Within(QDir::cleanPath(path), privateShown_);
}

}  // namespace platform
